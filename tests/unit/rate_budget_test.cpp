#include "ftp/rate_budget.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

using namespace brisk;

namespace {

// Each step: at `now`, spend `bytes` (after asking), and the wait the budget asks for then.
struct Step {
    uint64_t now;
    int64_t bytes;
    uint64_t waitBefore;
};

// 1000 bytes per second, on a clock the test moves: the first read goes at once, an overdraft waits
// exactly as long as the rate needs to pay it back, and idle time saves a quarter second at most.
TEST(RateBudget, OverdraftsWaitForTheRateToPayThemBack)
{
    const std::vector<Step> steps = {
        {1000, 4000, 0},   // nothing owed yet: go
        {1000, 0, 4000},   // 4000 bytes at 1000/s: four seconds
        {3000, 0, 2000},   // half of it paid
        {5000, 500, 0},    // paid: go, and owe half a second
        {5000, 0, 500},
        {60000, 0, 0},     // a long pause saves 250 bytes, not 55 seconds' worth
        {60000, 500, 0},
        {60000, 0, 250},
    };
    RateBudget budget(1000);
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(budget.waitMs(steps[i].now), steps[i].waitBefore);
        budget.spend(steps[i].bytes, steps[i].now);
    }
}

// Extreme rates and sizes neither overflow nor stop the transfer for ever.
TEST(RateBudget, ExtremeFiguresStayInRange)
{
    RateBudget fast(std::numeric_limits<int64_t>::max());
    fast.spend(std::numeric_limits<int64_t>::max(), 0);
    EXPECT_LE(fast.waitMs(0), 1000u);
    EXPECT_EQ(fast.waitMs(std::numeric_limits<uint64_t>::max()), 0u);
    RateBudget slow(0); // taken as one byte per second
    EXPECT_EQ(slow.bytesPerSecond(), 1);
    slow.spend(3, 0);
    EXPECT_EQ(slow.waitMs(0), 3000u);
    slow.spend(-5, 0);
    EXPECT_EQ(slow.waitMs(0), 3000u);
}

} // namespace
