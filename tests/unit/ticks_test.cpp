#include "platform/ticks.h"

#include <gtest/gtest.h>

#include <thread>

TEST(Ticks, AdvanceWithWallTime)
{
    const uint64_t a = brisk::tickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const uint64_t b = brisk::tickCount();
    EXPECT_GE(b - a, 19u);
    EXPECT_LT(b - a, 2000u);
}
