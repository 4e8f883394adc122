#pragma once
#include <sys/resource.h>

namespace brisk::test {

// CPU time of this process so far, user and system, in seconds. Tests that must not busy-wait
// compare it before and after a wait: unlike wall time, it does not grow on a loaded machine.
inline double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace brisk::test
