#pragma once
#include "platform/event_loop.h"
#include "platform/ticks.h"

#include <functional>

namespace brisk::test {

// Runs the program's event loop until done() holds or timeoutMs passes; returns done().
inline bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 30000)
{
    const uint64_t deadline = tickCount() + uint64_t(timeoutMs);
    while (!done()) {
        const uint64_t now = tickCount();
        if (now >= deadline)
            return false;
        EventLoop::instance().pumpOnce(int(std::min<uint64_t>(deadline - now, 50)));
    }
    return true;
}

} // namespace brisk::test
