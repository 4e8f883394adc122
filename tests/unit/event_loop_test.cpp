#include "platform/event_loop.h"
#include "platform/spawn.h"
#include "platform/ticks.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/epoll.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

using brisk::EventLoop;
using brisk::tickCount;

namespace {

bool readable(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, 0) == 1;
}

} // namespace

TEST(EventLoop, PostedTasksRunInOrderAfterTheCurrentHandlerEvenWhenRoundsNest)
{
    EventLoop loop;
    std::string trace;
    loop.post([&] {
        trace += "a";
        loop.post([&] { trace += "c"; });
        loop.pumpOnce(0); // nested round: must not overtake b, which was posted earlier
        trace += "A";
    });
    loop.post([&] { trace += "b"; });
    while (loop.pumpOnce(0)) {
    }
    EXPECT_EQ(trace, "abcA");
}

TEST(EventLoop, TimersFireInDeadlineOrderAndCanBeCancelled)
{
    EventLoop loop;
    std::string trace;
    loop.addTimer(30, [&] { trace += "2"; });
    loop.addTimer(10, [&] { trace += "1"; });
    const auto cancelled = loop.addTimer(20, [&] { trace += "x"; });
    loop.cancelTimer(cancelled);
    const uint64_t start = tickCount();
    while (trace.size() < 2 && tickCount() - start < 2000)
        loop.pumpOnce(-1);
    EXPECT_EQ(trace, "12");
    EXPECT_GE(tickCount() - start, 29u);
}

TEST(EventLoop, AnIdleRoundWaitsWithoutSpinning)
{
    EventLoop loop;
    const uint64_t t0 = tickCount();
    EXPECT_FALSE(loop.pumpOnce(300));
    const uint64_t waited = tickCount() - t0;
    EXPECT_GE(waited, 290u) << "a round that returns early has to be run again and again: it spins";
    EXPECT_EQ(loop.rounds(), 1u);
}

TEST(EventLoop, PollFdWakesForPostsFromOtherThreadsAndForANewEarliestTimer)
{
    EventLoop loop;
    EXPECT_FALSE(readable(loop.pollFd()));
    std::thread([&] { loop.post([] {}); }).join();
    EXPECT_TRUE(readable(loop.pollFd()));
    loop.pumpOnce(0);
    EXPECT_FALSE(readable(loop.pollFd()));

    loop.addTimer(10000, [] {});
    loop.pumpOnce(0);
    loop.addTimer(5000, [] {}); // earlier than the armed one: an embedding driver must re-arm
    EXPECT_TRUE(readable(loop.pollFd()));
    ASSERT_TRUE(loop.nextTimerDeadline().has_value());
    EXPECT_LE(*loop.nextTimerDeadline(), tickCount() + 5000);
}

TEST(EventLoop, PostsMadeDuringARoundAreLeftForTheNextRoundWithoutAWakeUp)
{
    EventLoop loop;
    bool second = false;
    loop.post([&] { loop.post([&] { second = true; }); });
    loop.pumpOnce(0);
    EXPECT_FALSE(second);
    EXPECT_TRUE(loop.hasPosted()) << "an embedding driver runs another round";
    EXPECT_FALSE(readable(loop.pollFd()));
    loop.pumpOnce(1000); // must not block: the queue is not empty
    EXPECT_TRUE(second);
    EXPECT_FALSE(loop.hasPosted());
}

TEST(EventLoop, AHandlerMayUnwatchAnotherReadyDescriptorInTheSameRound)
{
    EventLoop loop;
    int a[2], b[2];
    ASSERT_EQ(pipe(a), 0);
    ASSERT_EQ(pipe(b), 0);
    ASSERT_EQ(write(a[1], "x", 1), 1);
    ASSERT_EQ(write(b[1], "y", 1), 1);
    int calls = 0;
    loop.watch(a[0], EPOLLIN, [&](uint32_t) { ++calls; loop.unwatch(b[0]); loop.unwatch(a[0]); });
    loop.watch(b[0], EPOLLIN, [&](uint32_t) { ++calls; loop.unwatch(a[0]); loop.unwatch(b[0]); });
    loop.pumpOnce(0);
    EXPECT_EQ(calls, 1);
    for (int fd : {a[0], a[1], b[0], b[1]})
        close(fd);
}

TEST(EventLoop, ThePumpHookReplacesTheRoundOfSynchronousWaits)
{
    EventLoop loop;
    int hooked = 0;
    loop.setPumpHook([&](int maxWait) {
        ++hooked;
        loop.pumpOnce(maxWait);
    });
    loop.messagePump(0);
    EXPECT_EQ(hooked, 1);
}

TEST(Spawn, StartsTheProgramDetachedWithoutArgumentsOrRefusesNone)
{
    brisk::test::TempDir dir;
    const auto script = dir.path() / "program.sh";
    const auto marker = dir.path() / "ran";
    std::ofstream(script) << "#!/bin/sh\necho \"$#\" > '" << marker.string() << "'\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);

    ASSERT_TRUE(brisk::SpawnDetached(script.string()));
    std::string args;
    for (int i = 0; i < 500 && args.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream(marker) >> args;
    }
    EXPECT_EQ(args, "0");
    EXPECT_FALSE(brisk::SpawnDetached(""));
    EXPECT_NE(brisk::OwnExecutablePath().find("unit_tests"), std::string::npos);
}
