#include "command_runner.h"
#include "loopback_client.h"
#include "scripted_ftp_peer.h"

#include <gtest/gtest.h>

using namespace brisk::test;
using namespace std::chrono_literals;

namespace {

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
