#pragma once
#include <time.h>

#include <algorithm>

namespace brisk::test {

// CPU time of this process so far, in seconds: unlike wall time, it hardly grows on a loaded machine.
inline double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// CPU seconds one run(input) takes: runs repeat until they add up to a measurable time, and the
// smallest of three such measurements counts, so page faults and a busy machine hardly show.
template <typename Input, typename Run>
double cpuSecondsPerRun(const Input& input, Run& run)
{
    run(input);
    double best = 1e300;
    for (int t = 0; t < 3; ++t) {
        const double start = cpuSeconds();
        int runs = 0;
        double spent = 0;
        do {
            run(input);
            ++runs;
            spent = cpuSeconds() - start;
        } while (spent < 0.005);
        best = std::min(best, spent / runs);
    }
    return best;
}

// How the cost of run(make(n)) per unit of n grows from n = `size` to n = `factor` * `size`: about 1
// for linear work, about `factor` for quadratic. Memory effects (caches, the allocator's mmap
// threshold) move it by a few times at most, so a factor of 64 separates the two clearly. No time
// limit: a slow or loaded machine changes neither.
template <typename Make, typename Run>
double growthPerUnit(size_t size, size_t factor, Make make, Run run)
{
    const double small = cpuSecondsPerRun(make(size), run);
    const double large = cpuSecondsPerRun(make(factor * size), run);
    return large / std::max(double(factor) * small, 1e-12);
}

} // namespace brisk::test
