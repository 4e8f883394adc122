// The core loop run from Qt's: the core's own rules (timer order, posts) are tested in
// tests/unit/event_loop_test.cpp; here, that sockets, posts and timers reach the core through Qt, and
// that waits nested in either loop see the other's events without spinning.
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

using namespace brisk;
using brisk::test::WakeCounter;
using brisk::test::waitFor;

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

// Waits synchronously in the core loop, as the engine does, until done() or timeoutMs.
void pumpUntil(EventLoop& loop, const std::function<bool()>& done, uint64_t timeoutMs, int stepMs = 500)
{
    const uint64_t start = tickCount();
    while (!done() && tickCount() - start < timeoutMs)
        loop.messagePump(stepMs);
}

TEST(QtLoopDriver, SocketDataPostsAndTimersArriveWhileAModalDialogIsOpen)
{
    EventLoop loop;
    QtLoopDriver driver(loop);
    SocketPair pair;
    std::string received;
    bool posted = false, timerFired = false;
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
        loop.addTimer(60, [&] { timerFired = true; });
    });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (received == "ping" && posted && timerFired)
            dialog.accept();
    });
    poll.start(10);
    QTimer::singleShot(20000, &dialog, &QDialog::reject);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted) << received << posted << timerFired;
    loop.unwatch(pair.fds[1]);
}

TEST(QtLoopDriver, AWaitInsideATimerHandlerSeesLaterTimersAndQtEvents)
{
    EventLoop loop;
    QtLoopDriver driver(loop);
    bool later = false, qtTimer = false, waitDone = false, sawBoth = false;
    loop.addTimer(100, [&] { later = true; });
    loop.addTimer(10, [&] {
        QTimer::singleShot(20, [&] { qtTimer = true; });
        pumpUntil(loop, [&] { return later && qtTimer; }, 20000, 200);
        sawBoth = later && qtTimer;
        waitDone = true;
    });
    ASSERT_TRUE(waitFor([&] { return waitDone; }, 30000));
    EXPECT_TRUE(sawBoth);
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
        pumpUntil(loop, [&] { return secondRead; }, 20000);
        waitWakes = wakes.qtWakes() + wakes.coreRounds();
        waitDone = true;
    });
    ASSERT_EQ(write(first.fds[0], "x", 1), 1);
    ASSERT_TRUE(waitFor([&] { return waitDone; }, 30000));
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
    EXPECT_TRUE(waitFor([&] { return qtRan; }, 60000));
    EXPECT_LT(reposts, kMostReposts) << "Qt ran only once the reposting had ended";
}

// Idle, with a socket watched and a far timer: neither Qt's loop nor a synchronous wait spins, and
// the wait still ends when a near timer fires.
TEST(QtLoopDriver, IdleLoopsUseAlmostNoCpu)
{
    EventLoop loop;
    QtLoopDriver driver(loop);
    SocketPair pair;
    loop.watch(pair.fds[1], EPOLLIN, [](uint32_t) {});
    loop.addTimer(60000, [] {});
    {
        const WakeCounter wakes(loop);
        QEventLoop qtLoop;
        QTimer::singleShot(1000, &qtLoop, &QEventLoop::quit);
        qtLoop.exec();
        EXPECT_LT(wakes.qtWakes() + wakes.coreRounds(), 100u) << "idle Qt loop";
    }
    const WakeCounter wakes(loop);
    bool ready = false;
    loop.addTimer(1000, [&] { ready = true; });
    pumpUntil(loop, [&] { return ready; }, 30000, 30000);
    EXPECT_TRUE(ready);
    EXPECT_LT(wakes.qtWakes() + wakes.coreRounds(), 100u) << "idle synchronous wait";
    loop.unwatch(pair.fds[1]);
}

// A handler that throws must not end the program: the failure is reported, and the posts and timers
// after it still run. runGuarded reports any kind of exception.
TEST(QtLoopDriver, AHandlerThatThrowsIsReportedAndTheLoopGoesOn)
{
    EventLoop loop;
    QtLoopDriver driver(loop);
    std::vector<std::string> reported;
    setUnhandledExceptionHandler([&](const std::string& what) { reported.push_back(what); });
    bool after = false, timerRan = false;
    loop.post([] { throw std::runtime_error("Host name empty"); });
    loop.post([&] { after = true; });
    loop.addTimer(1, [&] { timerRan = true; });
    EXPECT_TRUE(waitFor([&] { return after && timerRan; }, 30000));
    EXPECT_FALSE(runGuarded([] { throw 42; }));
    EXPECT_TRUE(runGuarded([] {}));
    setUnhandledExceptionHandler(nullptr);
    EXPECT_EQ(reported, (std::vector<std::string>{"Host name empty", "unknown exception"}));
}

} // namespace
