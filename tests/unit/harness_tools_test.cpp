#include "command_runner.h"
#include "loopback_client.h"
#include "scripted_ftp_peer.h"
#include "server_daemon.h"
#include "unique_fd.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

using namespace brisk::test;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

DaemonLaunch shell(const fs::path& dir, const std::string& script)
{
    return {{"/bin/sh", "-c", script}, dir / "out.txt", {}};
}

// What a stopped server leaves must not hold the next test's ports: the shell ignores TERM (and so do
// the children it forks) and one child left the session, yet stop ends and reaps them all.
TEST(DaemonProcess, StopEndsTheWholeTreeEvenWhatLeftTheSessionOrIgnoresTerm)
{
    TempDir dir;
    DaemonProcess daemon(shell(dir.path(), "trap '' TERM; sleep 60 & setsid sh -c 'echo left; exec sleep 60' & wait"));
    daemon.waitForOutputLine("left");
    const pid_t leader = daemon.pid();
    // The shell may still be between fork and exec when the line arrives: look again for a moment.
    std::vector<pid_t> descendants;
    bool oneLeftTheSession = false;
    for (int i = 0; i < 100 && !oneLeftTheSession; ++i) {
        std::this_thread::sleep_for(20ms);
        descendants = descendantsOf(leader);
        oneLeftTheSession = descendants.size() == 2 &&
                            (::getsid(descendants[0]) != leader || ::getsid(descendants[1]) != leader);
    }
    ASSERT_TRUE(oneLeftTheSession);
    daemon.stop();
    descendants.push_back(leader);
    for (pid_t pid : descendants)
        EXPECT_FALSE(fs::exists("/proc/" + std::to_string(pid))) << "left behind or a zombie: " << pid;
}

// A port another process took first (here: this one) does not count as the daemon's: the start is
// tried again on another port. A daemon that never comes up fails the start with its own words.
TEST(DaemonProcess, APortClashIsRetriedAndAFailedStartSaysWhy)
{
    if (auto why = missingProgram("/usr/bin/python3", "python3"))
        GTEST_SKIP() << *why;
    TempDir dir;
    UniqueFd taken;
    std::vector<uint16_t> ports;
    const auto started = startOnFreePort([&](uint16_t port) {
        ports.push_back(port);
        if (ports.size() == 1) {
            taken.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
            sockaddr_in addr{};
            addr.sin_family = AF_INET;
            addr.sin_port = htons(port);
            addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            EXPECT_EQ(::bind(taken.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
            EXPECT_EQ(::listen(taken.get(), 1), 0);
            // Like ftp-proxy, it keeps running without a listener of its own.
            return shell(dir.path(), "exec sleep 60");
        }
        return DaemonLaunch{{"/usr/bin/python3", "-c",
                             "import socket, sys, time\ns = socket.socket()\n"
                             "s.bind(('127.0.0.1', int(sys.argv[1])))\ns.listen()\ntime.sleep(60)\n",
                             std::to_string(port)},
                            dir.path() / "py.txt", {}};
    }, 4s);
    EXPECT_EQ(ports.size(), 2u);
    EXPECT_EQ(started.port, ports.back());

    try {
        startOnFreePort([&](uint16_t) { return shell(dir.path(), "echo 'OOPS: bad config' >&2; exit 3"); });
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("OOPS: bad config"), std::string::npos) << e.what();
    }
}

// Product tests assert the transcript: lines are recorded exactly, whatever the line end and however
// they arrive. A peer must go at once when its test ends while a rule waits (else the test hangs).
TEST(ScriptedFtpPeer, RecordsLinesExactlyAndGoesAtOnceWhileARuleWaits)
{
    auto peer = std::make_unique<ScriptedFtpPeer>();
    peer->setWaitLimit(std::chrono::hours(1));
    peer->on("PASV", ScriptedFtpPeer::passive());
    peer->on("LIST", [](PeerSession& s, const std::string&) { s.acceptData(); });
    LoopbackClient client(peer->port());
    EXPECT_EQ(client.receiveLine(), "220 Scripted peer ready.\r\n");
    client.send("USER a b\r\nSITE x\ry\r\r\nNOOP\nPAS");
    client.send("V\r\nLIST\r\n");
    ASSERT_TRUE(peer->waitForLines(5, 5s));
    EXPECT_EQ(peer->lines(), (std::vector<std::string>{"USER a b", "SITE x\ry\r", "NOOP", "PASV", "LIST"}));
    peer.reset();
    EXPECT_NE(client.receiveAll().find("227 "), std::string::npos);
}

// The command-line tests judge the tool by its input, both outputs, its status, and a hang.
TEST(RunCommand, PassesInputCollectsBothOutputsAndTheStatusAndKillsAHang)
{
    const auto r = runCommand({"sh", "-c", "cat; echo oops >&2; exit 7"}, "hello\n");
    EXPECT_EQ(r.exitCode, 7);
    EXPECT_EQ(r.out, "hello\n");
    EXPECT_EQ(r.err, "oops\n");
    EXPECT_FALSE(r.timedOut);
    const auto hung = runCommand({"sleep", "30"}, {}, 200ms);
    EXPECT_TRUE(hung.timedOut);
    EXPECT_EQ(hung.exitCode, -1);
}

} // namespace
