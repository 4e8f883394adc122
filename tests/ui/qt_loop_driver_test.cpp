// The core loop run from Qt's (the core's own rules are tests/unit/event_loop_test.cpp): sockets, posts
// and timers reach the core through Qt, and waits nested in either loop see the other's events without
// spinning. Then the desktop program as a process; closing its window while the engine waits is run in
// a child process (this binary, filtered to ShutdownChild), so that a hang or crash at exit fails the
// parent instead of the suite.
#include "platform/event_loop.h"
#include "platform/ticks.h"
#include "ui/main_window.h"
#include "ui/program_shutdown.h"
#include "ui/qt_loop_driver.h"
#include "ui/unhandled_exception.h"
#include "command_runner.h"
#include "modal.h"
#include "qt_wait.h"
#include "scripted_ftp_peer.h"
#include "temp_home.h"

#include <QDialog>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace brisk;
using brisk::test::WakeCounter;
using brisk::test::runCommand;
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

// A core loop of its own, driven from Qt's.
class LoopDriverTest : public ::testing::Test {
protected:
    EventLoop loop;
    QtLoopDriver driver{loop};
};

TEST_F(LoopDriverTest, SocketDataPostsAndTimersArriveWhileAModalDialogIsOpen)
{
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

TEST_F(LoopDriverTest, AWaitInsideATimerHandlerSeesLaterTimersAndQtEvents)
{
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

TEST_F(LoopDriverTest, AWaitInsideASocketHandlerSeesOtherSocketsWithoutSpinning)
{
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

TEST_F(LoopDriverTest, ATaskThatKeepsRepostingItselfDoesNotStarveQt)
{
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
TEST_F(LoopDriverTest, IdleLoopsUseAlmostNoCpu)
{
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
TEST_F(LoopDriverTest, AHandlerThatThrowsIsReportedAndTheLoopGoesOn)
{
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

constexpr const char* kPeerPortVariable = "BRISKLANE_TEST_SILENT_PEER_PORT";

TEST(GuiProgram, WithoutADisplayItExplainsAndExitsWithOne)
{
    const auto result = runCommand({"env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM",
                                    BRISKLANE_GUI_PATH});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "brisklane: no graphical display found (DISPLAY is not set); start it from a desktop session\n");
}

TEST(GuiProgram, WithAPlatformItStartsAndKeepsRunning)
{
    const auto result = runCommand({"env", "QT_QPA_PLATFORM=offscreen", BRISKLANE_GUI_PATH}, {},
                                   std::chrono::milliseconds(1500));
    EXPECT_TRUE(result.timedOut) << "exit " << result.exitCode << ": " << result.err;
}

TEST(ShutdownDuringWait, ClosingTheWindowDuringACwdEndsTheProgram)
{
    test::ScriptedFtpPeer peer("220 ready\r\n");
    peer.on("CWD", test::ScriptedFtpPeer::silence());
    const test::CommandResult result = runCommand(
        // From "/": an earlier test may have left this process in a directory that is gone since.
        {"env", "-i", "-C", "/", "PATH=/usr/bin:/bin", "QT_QPA_PLATFORM=offscreen",
         std::string(kPeerPortVariable) + "=" + std::to_string(peer.port()),
         std::filesystem::read_symlink("/proc/self/exe").string(), "--gtest_filter=ShutdownChild.*"},
        {}, std::chrono::seconds(20));
    ASSERT_FALSE(result.timedOut) << "the program did not end\n" << result.out << result.err;
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("[  PASSED  ] 1 test"), std::string::npos) << result.out << result.err;
    EXPECT_EQ(peer.lines(), (std::vector<std::string>{"CWD /never"})) << "the wait never started";
}

// The child's side: only runs when the parent above started it.
class ShutdownChild : public TempHomeTest {};

TEST_F(ShutdownChild, RunsTheProgramUntilItsWindowCloses)
{
    const char* port = std::getenv(kPeerPortVariable);
    if (!port)
        GTEST_SKIP() << "started by ShutdownDuringWait only";
    EventLoop& loop = EventLoop::instance();
    QtLoopDriver driver(loop);
    endLoopWithLastWindow(*qApp, loop);
    T_Main window;
    window.show();

    TCustomFtpCli& ftp = window.program().session.Ftp1;
    ftp.HostName = "127.0.0.1";
    ftp.Port = port;
    ftp.Timeout = 600;
    ASSERT_TRUE(ftp.Synchronize([&ftp] { ftp.OpenAsync(); })) << ftp.ErrorMessage();

    bool waitEnded = false;
    QTimer::singleShot(0, &window, [&] {
        test::onNextModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
        QTimer::singleShot(300, &window, [&window] { window.close(); });
        ftp.HostDirName = "/never";
        EXPECT_FALSE(ftp.Cwd());
        waitEnded = true;
    });
    EXPECT_EQ(QApplication::exec(), 0);
    loop.terminate();
    EXPECT_TRUE(waitEnded);
    EXPECT_FALSE(window.isVisible());
}

} // namespace
