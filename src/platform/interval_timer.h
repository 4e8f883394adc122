#pragma once
#include "platform/event_loop.h"

#include <cstdint>
#include <functional>

namespace brisk {

// A repeating timer on the program's event loop: while enabled, calls onTick every interval.
class IntervalTimer {
public:
    explicit IntervalTimer(EventLoop& loop = EventLoop::instance()) : loop_(loop) {}
    ~IntervalTimer() { setEnabled(false); }
    IntervalTimer(const IntervalTimer&) = delete;
    IntervalTimer& operator=(const IntervalTimer&) = delete;

    void setInterval(uint64_t ms);
    uint64_t interval() const { return intervalMs_; }
    void setEnabled(bool on);
    bool enabled() const { return timer_ != 0; }

    std::function<void()> onTick;

private:
    void arm();
    void fire();

    EventLoop& loop_;
    uint64_t intervalMs_ = 1000;
    EventLoop::TimerId timer_ = 0;
};

} // namespace brisk
