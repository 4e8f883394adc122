#include "command_runner.h"
#include "daemon_process.h"
#include "file_io.h"
#include "loopback_port.h"
#include "process_tree.h"
#include "scripted_ftp_peer.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using namespace brisk::test;

namespace {

bool processExists(pid_t pid)
{
    return fs::exists("/proc/" + std::to_string(pid));
}

class DaemonProcessTest : public testing::Test {
protected:
    DaemonLaunch shell(const std::string& script)
    {
        return {{"/bin/sh", "-c", script}, dir.path() / "out.txt", {}};
    }
    TempDir dir;
};

// A server that cannot start must fail the test at once and say why, not leave it waiting.
TEST_F(DaemonProcessTest, StartupFailuresEndTheWaitWithTheDaemonsOwnWords)
{
    DaemonProcess dies(shell("echo 'OOPS: bad config' >&2; exit 3"));
    const auto start = std::chrono::steady_clock::now();
    try {
        dies.waitListening(pickFreeLoopbackPort());
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("OOPS: bad config"), std::string::npos) << e.what();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 8s);
    EXPECT_FALSE(dies.running());

    try {
        DaemonProcess missing({{"/nonexistent/daemon"}, dir.path() / "missing.txt", {}});
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("No such file"), std::string::npos) << e.what();
    }

    auto launch = shell("echo '500 OOPS: on fd 0' >&0; exit 2");
    launch.stdinFile = dir.path() / "err.txt";
    DaemonProcess onStdin(launch);
    EXPECT_THROW(onStdin.waitForOutputLine("never"), std::runtime_error);
    EXPECT_NE(onStdin.output().find("500 OOPS: on fd 0"), std::string::npos);
}

// Only the daemon's own listener counts: a port held by this process must not let a test start early.
TEST_F(DaemonProcessTest, WaitListeningReturnsOnlyOnceTheDaemonItselfListens)
{
    ScriptedFtpPeer peerInThisProcess;
    DaemonProcess sleeper(shell("sleep 30"));
    EXPECT_THROW(sleeper.waitListening(peerInThisProcess.port(), 200ms), std::runtime_error);

    if (::access("/usr/bin/python3", X_OK) != 0)
        GTEST_SKIP() << "/usr/bin/python3 is missing";
    DaemonProcess daemon({{"/usr/bin/python3", "-c",
                           "import socket, time\n"
                           "time.sleep(0.1)\n"
                           "s = socket.socket(); s.bind(('127.0.0.1', 0)); s.listen()\n"
                           "print('PORT', s.getsockname()[1], flush=True)\n"
                           "time.sleep(30)\n"},
                          dir.path() / "py.txt", {}});
    const std::string line = daemon.waitForOutputLine("PORT ");
    const auto port = static_cast<uint16_t>(std::stoi(line.substr(5)));
    daemon.waitListening(port);
    EXPECT_TRUE(loopbackListenerInode(port).has_value());
    daemon.stop();
    EXPECT_FALSE(loopbackListenerInode(port).has_value());
}

// The shell ignores TERM (and so do the children it forks), one child left the session: stop must
// still end and reap them all, with KILL after the grace time.
TEST_F(DaemonProcessTest, StopEndsAndReapsDescendantsThatLeftTheSessionOrIgnoreTerm)
{
    DaemonProcess daemon(shell("trap '' TERM; sleep 60 & setsid sh -c 'echo left; exec sleep 60' & wait"));
    daemon.waitForOutputLine("left");
    const pid_t leader = daemon.pid();
    // The shell may still be between fork and exec when the line arrives: look again for a moment.
    std::vector<pid_t> descendants;
    bool oneLeftTheSession = false;
    for (int i = 0; i < 100 && !oneLeftTheSession; ++i) {
        if (i > 0)
            std::this_thread::sleep_for(20ms);
        descendants = descendantsOf(leader);
        oneLeftTheSession = descendants.size() == 2 &&
                            (::getsid(descendants[0]) != leader || ::getsid(descendants[1]) != leader);
    }
    ASSERT_EQ(descendants.size(), 2u);
    EXPECT_EQ(::getsid(leader), leader);
    EXPECT_TRUE(oneLeftTheSession);

    const auto start = std::chrono::steady_clock::now();
    daemon.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 8s);
    for (pid_t pid : descendants)
        EXPECT_FALSE(processExists(pid)) << "left behind or a zombie: " << pid;
    EXPECT_FALSE(processExists(leader));
}

TEST_F(DaemonProcessTest, DaemonGetsTermWhenTheTestProcessDiesWithoutCleaningUp)
{
    const fs::path pidFile = dir.path() / "pid";
    const pid_t doomed = ::fork();
    ASSERT_GE(doomed, 0);
    if (doomed == 0) {
        DaemonProcess daemon(shell("echo $$ > " + pidFile.string() + ".tmp; mv " + pidFile.string()
                                   + ".tmp " + pidFile.string() + "; exec sleep 60"));
        for (int i = 0; i < 250 && !fs::exists(pidFile); ++i)
            ::usleep(20000);
        ::kill(::getpid(), SIGKILL);
    }
    ASSERT_EQ(::waitpid(doomed, nullptr, 0), doomed);
    const pid_t daemon = static_cast<pid_t>(std::stoi(readFileBytes(pidFile)));
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (processAlive(daemon) && std::chrono::steady_clock::now() < deadline)
        ::usleep(10000);
    EXPECT_FALSE(processAlive(daemon));
    ::waitpid(daemon, nullptr, WNOHANG);
}

// Files a test leaves must never reach the next one.
TEST(TempDirTest, IsFreshAndRemovedWithItsContents)
{
    fs::path path;
    {
        TempDir a, b;
        path = a.path();
        EXPECT_NE(a.path(), b.path());
        EXPECT_TRUE(fs::is_empty(a.path()));
        fs::create_directories(a.path() / "x" / "y");
    }
    EXPECT_FALSE(fs::exists(path));
}

// The command-line tests judge the tool by these: its input, both outputs, its status, and a hang.
TEST(RunCommandTest, PassesInputCollectsBothOutputsAndTheExitCodeAndKillsAHang)
{
    const auto r = runCommand({"sh", "-c", "cat; echo oops >&2; exit 7"}, "hello\n");
    EXPECT_EQ(r.exitCode, 7);
    EXPECT_EQ(r.out, "hello\n");
    EXPECT_EQ(r.err, "oops\n");
    EXPECT_FALSE(r.timedOut);

    const auto start = std::chrono::steady_clock::now();
    const auto hung = runCommand({"sleep", "30"}, {}, 200ms);
    EXPECT_TRUE(hung.timedOut);
    EXPECT_EQ(hung.exitCode, -1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 8s);
}

} // namespace
