#include "platform/ticks.h"

#include <time.h>

namespace brisk {

uint64_t tickCount()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u;
}

} // namespace brisk
