#include "platform/event_loop.h"
#include "platform/ticks.h"
#include "ui/qt_loop_driver.h"
#include "ui/unhandled_exception.h"

#include "qt_wait.h"

#include <QDialog>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace brisk;
using brisk::test::WakeCounter;
using brisk::test::runQtUntil;

namespace {

// A connected pair of non-blocking local stream sockets, closed at the end of the test.
struct SocketPair {
    int fds[2] = {-1, -1};
    SocketPair() { EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, fds), 0); }
    ~SocketPair()
    {
        close(fds[0]);
        close(fds[1]);
    }
};

// Runs Qt's own loop for ms milliseconds.
void runQt(int ms)
{
    QEventLoop qtLoop;
    QTimer::singleShot(ms, &qtLoop, &QEventLoop::quit);
    qtLoop.exec();
}

} // namespace

TEST(QtLoopDriver, SocketDataPostsAndTimersArriveWhileAModalDialogIsOpen)
{
    EventLoop loop;
    QtLoopDriver driver(loop);
    SocketPair pair;
    std::string received;
    bool posted = false;
    uint64_t timerSet = 0, timerFired = 0;
    loop.watch(pair.fds[1], EPOLLIN, [&](uint32_t) {
        char buffer[64];
        const ssize_t n = read(pair.fds[1], buffer, sizeof buffer);
        if (n > 0)
            received.append(buffer, size_t(n));
    });

    QDialog dialog;
    QTimer::singleShot(0, [&] {
        ASSERT_EQ(write(pair.fds[0], "ping", 4), 4);
        loop.post([&] { posted = true; });
        timerSet = tickCount();
        loop.addTimer(60, [&] { timerFired = tickCount(); });
    });
    QTimer::singleShot(400, &dialog, &QDialog::reject);
    dialog.exec();

    EXPECT_EQ(received, "ping");
    EXPECT_TRUE(posted);
    ASSERT_NE(timerFired, 0u);
    EXPECT_GE(timerFired - timerSet, 60u);
    loop.unwatch(pair.fds[1]);
}

TEST(QtLoopDriver, TimersFireInOrderAndACancelledOneNeverFires)
{
    EventLoop loop;
    QtLoopDriver driver(loop);
    std::string order;
    loop.addTimer(80, [&] { order += "c"; });
    const EventLoop::TimerId cancelled = loop.addTimer(40, [&] { order += "x"; });
    loop.addTimer(20, [&] { order += "a"; });
    loop.addTimer(60, [&] { order += "b"; });
    loop.cancelTimer(cancelled);
    runQt(250);
    EXPECT_EQ(order, "abc");
}

TEST(QtLoopDriver, ASynchronousWaitReturnsWhenItsConditionIsMetOrItsTimeRunsOut)
{
    EventLoop loop;
    QtLoopDriver driver(loop);

    bool ready = false;
    loop.addTimer(30, [&] { ready = true; });
    const uint64_t start = tickCount();
    while (!ready && tickCount() - start < 2000)
        loop.messagePump(int(2000 - (tickCount() - start)));
    EXPECT_TRUE(ready);
    EXPECT_LT(tickCount() - start, 1000u);

    const uint64_t idleStart = tickCount();
    loop.messagePump(100);
    const uint64_t idle = tickCount() - idleStart;
    EXPECT_GE(idle, 90u);
    EXPECT_LT(idle, 1000u);
}

TEST(QtLoopDriver, AWaitInsideATimerHandlerSeesLaterTimersAndQtEvents)
{
    EventLoop loop;
    QtLoopDriver driver(loop);
    bool later = false, qtTimer = false, waitDone = false, sawBoth = false;
    uint64_t waited = 0;
    loop.addTimer(100, [&] { later = true; });
    loop.addTimer(10, [&] {
        QTimer::singleShot(20, [&] { qtTimer = true; });
        const uint64_t start = tickCount();
        while (!(later && qtTimer) && tickCount() - start < 2000)
            loop.messagePump(200);
        sawBoth = later && qtTimer;
        waited = tickCount() - start;
        waitDone = true;
    });
    runQtUntil([&] { return waitDone; }, 30000);
    ASSERT_TRUE(waitDone);
    EXPECT_TRUE(sawBoth);
    EXPECT_LT(waited, 1000u);
}

TEST(QtLoopDriver, AWaitInsideASocketHandlerSeesOtherSocketsWithoutSpinning)
{
    EventLoop loop;
    QtLoopDriver driver(loop);
    SocketPair first, second;
    bool secondRead = false, waitDone = false;
    uint64_t waitWakes = 0;
    loop.watch(second.fds[1], EPOLLIN, [&](uint32_t) {
        char byte;
        secondRead = read(second.fds[1], &byte, 1) == 1;
    });
    loop.watch(first.fds[1], EPOLLIN, [&](uint32_t) {
        char byte;
        if (read(first.fds[1], &byte, 1) != 1)
            return;
        // The first socket is drained but the second only becomes readable later, in this wait.
        QTimer::singleShot(300, [&] { EXPECT_EQ(write(second.fds[0], "y", 1), 1); });
        const WakeCounter wakes(loop);
        const uint64_t start = tickCount();
        while (!secondRead && tickCount() - start < 20000)
            loop.messagePump(500);
        waitWakes = wakes.qtWakes() + wakes.coreRounds();
        waitDone = true;
    });
    ASSERT_EQ(write(first.fds[0], "x", 1), 1);

    runQtUntil([&] { return waitDone; }, 30000);
    ASSERT_TRUE(waitDone);
    EXPECT_TRUE(secondRead);
    EXPECT_LT(waitWakes, 100u) << "the wait blocks, it does not spin";
    loop.unwatch(first.fds[1]);
    loop.unwatch(second.fds[1]);
}

TEST(QtLoopDriver, ATaskThatKeepsRepostingItselfDoesNotStarveQt)
{
    EventLoop loop;
    QtLoopDriver driver(loop);
    bool qtRan = false;
    // Enough reposts to keep a driver that never yields busy for many seconds.
    int reposts = 0;
    constexpr int kMostReposts = 5000000;
    std::function<void()> again = [&] {
        if (!qtRan && ++reposts < kMostReposts)
            loop.post(again);
    };
    loop.post(again);
    QTimer::singleShot(20, [&] { qtRan = true; });
    runQtUntil([&] { return qtRan; }, 60000);
    EXPECT_TRUE(qtRan);
    EXPECT_LT(reposts, kMostReposts) << "Qt ran only once the reposting had ended";
}

TEST(QtLoopDriver, IdleLoopsUseAlmostNoCpu)
{
    EventLoop loop;
    QtLoopDriver driver(loop);
    SocketPair pair;
    loop.watch(pair.fds[1], EPOLLIN, [](uint32_t) {});
    loop.addTimer(60000, [] {});

    {
        const WakeCounter wakes(loop);
        runQt(1000);
        EXPECT_LT(wakes.qtWakes() + wakes.coreRounds(), 100u) << "idle Qt loop";
    }
    const WakeCounter wakes(loop);
    const uint64_t start = tickCount();
    while (tickCount() - start < 1000)
        loop.messagePump(int(1000 - (tickCount() - start)));
    EXPECT_LT(wakes.qtWakes() + wakes.coreRounds(), 100u) << "idle synchronous wait";
    loop.unwatch(pair.fds[1]);
}

// A core handler that throws must not end the program: the failure is reported, and the posts and
// timers after it still run.
TEST(QtLoopDriver, AHandlerThatThrowsIsReportedAndTheLoopGoesOn)
{
    EventLoop loop;
    QtLoopDriver driver(loop);
    std::vector<std::string> reported;
    setUnhandledExceptionHandler([&](const std::string& what) { reported.push_back(what); });
    bool after = false;
    bool timerRan = false;
    loop.post([] { throw std::runtime_error("Host name empty"); });
    loop.post([&] { after = true; });
    loop.addTimer(1, [&] { timerRan = true; });
    EXPECT_TRUE(runQtUntil([&] { return after && timerRan; }, 30000));
    setUnhandledExceptionHandler(nullptr);
    EXPECT_EQ(reported, std::vector<std::string>{"Host name empty"});
}

TEST(GuardedApplication, RunGuardedReportsEveryKindOfException)
{
    std::vector<std::string> reported;
    setUnhandledExceptionHandler([&](const std::string& what) { reported.push_back(what); });
    EXPECT_FALSE(runGuarded([] { throw std::runtime_error("boom"); }));
    EXPECT_FALSE(runGuarded([] { throw 42; }));
    EXPECT_TRUE(runGuarded([] {}));
    setUnhandledExceptionHandler(nullptr);
    EXPECT_EQ(reported, (std::vector<std::string>{"boom", "unknown exception"}));
}
