#include "byte_pattern.h"
#include "loopback_client.h"
#include "peer_io.h"
#include "scripted_ftp_peer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <memory>
#include <regex>

using namespace std::chrono_literals;
using brisk::test::bytePattern;
using brisk::test::LoopbackClient;
using brisk::test::PeerSession;
using brisk::test::ScriptedFtpPeer;

namespace {

uint16_t portOf227(const std::string& reply)
{
    std::smatch m;
    const std::regex pattern(R"(\((\d+),(\d+),(\d+),(\d+),(\d+),(\d+)\))");
    if (!std::regex_search(reply, m, pattern))
        throw std::runtime_error("no address in " + reply);
    return static_cast<uint16_t>(std::stoi(m[5]) * 256 + std::stoi(m[6]));
}

struct BannerCase {
    const char* name;
    std::string bytes;
};

class PeerBanner : public testing::TestWithParam<BannerCase> {};

TEST_P(PeerBanner, ArrivesByteForByteAndNothingElse)
{
    ScriptedFtpPeer peer(GetParam().bytes);
    LoopbackClient client(peer.port());
    EXPECT_EQ(client.receiveBytes(GetParam().bytes.size()), GetParam().bytes);
    client.send("NOOP\r\n");
    EXPECT_EQ(client.receiveLine(), "502 Command not implemented.\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, PeerBanner,
    testing::Values(BannerCase{"Busy", "421 busy\r\n"},
                    BannerCase{"MultiLineOddLines", "220-first\r\n  indented\r\nno code\r\n220 last\r\n"},
                    BannerCase{"CrCrLf", "220 ready\r\r\n"},
                    BannerCase{"LfAlone", "220 ready\n"},
                    BannerCase{"LongerThanBuffer", "220 " + std::string(5000, 'x') + "\r\n"},
                    BannerCase{"BinaryBytes", std::string("220 \0\xA6\xFF\r\n", 9)}),
    [](const testing::TestParamInfo<BannerCase>& info) { return info.param.name; });

TEST(ScriptedFtpPeer, SilentServerSendsNothingButStillRecords)
{
    ScriptedFtpPeer peer("");
    peer.on("USER", ScriptedFtpPeer::silence());
    LoopbackClient client(peer.port(), 200ms);
    client.send("USER x\r\n");
    ASSERT_TRUE(peer.waitForLines(1, 2s));
    EXPECT_EQ(peer.lines(), std::vector<std::string>{"USER x"});
    EXPECT_THROW(client.receiveLine(), std::runtime_error);
}

TEST(ScriptedFtpPeer, RulesMatchVerbCaseInsensitiveAndWholeLineFirst)
{
    ScriptedFtpPeer peer;
    peer.on("user", "331 verb rule\r\n");
    peer.onLine("USER special", "230 line rule\r\n");
    peer.on("PASS", "530 first\r\n");
    peer.on("pass", "230 replaced\r\n");
    peer.setDefault("500 what?\r\n");
    LoopbackClient client(peer.port());
    client.receiveLine();
    const std::pair<const char*, const char*> exchanges[] = {
        {"USER anna\r\n", "331 verb rule\r\n"},
        {"uSeR anna\r\n", "331 verb rule\r\n"},
        {"USER special\r\n", "230 line rule\r\n"},
        {"USER special \r\n", "331 verb rule\r\n"},
        {"PASS x\r\n", "230 replaced\r\n"},
        {"USERS x\r\n", "500 what?\r\n"},
        {"\r\n", "500 what?\r\n"},
    };
    for (const auto& [sent, expected] : exchanges) {
        client.send(sent);
        EXPECT_EQ(client.receiveLine(), expected) << sent;
    }
}

// A hang-up closes the control connection and the peer serves the next client from its banner on.
TEST(ScriptedFtpPeer, TranscriptKeepsLinesExactlyPerConnection)
{
    ScriptedFtpPeer peer;
    peer.on("QUIT", ScriptedFtpPeer::hangUp());
    {
        LoopbackClient first(peer.port());
        first.send("USER a b\r\nNOOP\nSITE x\ry\r\r\n");
        first.send("PAS");
        first.send("S  two  spaces \r\nQUIT\r\n");
        EXPECT_TRUE(first.closedByServer());
    }
    LoopbackClient second(peer.port());
    EXPECT_EQ(second.receiveLine(), "220 Scripted peer ready.\r\n");
    second.send("CWD /\r\n");
    ASSERT_TRUE(peer.waitForLines(1, 2s, 1));
    EXPECT_EQ(peer.lines(0), (std::vector<std::string>{"USER a b", "NOOP", "SITE x\ry\r",
                                                       "PASS  two  spaces ", "QUIT"}));
    EXPECT_EQ(peer.lines(1), std::vector<std::string>{"CWD /"});
    EXPECT_EQ(peer.connectionCount(), 2u);
    EXPECT_TRUE(peer.waitForDisconnect(0, 1s));
    EXPECT_FALSE(peer.waitForLines(2, 50ms, 1));
    EXPECT_TRUE(peer.errors().empty());
}

// The order of the final reply and the data close is what the engine's tests vary: it must be kept.
TEST(ScriptedFtpPeer, PassiveTransfersBothWaysKeepTheScriptedOrder)
{
    ScriptedFtpPeer peer;
    peer.on("PASV", ScriptedFtpPeer::passive());
    const std::string listing = "line one\r\nline two\r\n" + std::string(100000, 'z');
    peer.on("LIST", [&](PeerSession& s, const std::string&) {
        s.send("150 here\r\n");
        s.acceptData();
        s.send("226 done early\r\n");
        s.sendData(listing);
        s.closeData();
    });
    std::string received;
    peer.on("STOR", [&](PeerSession& s, const std::string&) {
        s.send("150 go\r\n");
        s.acceptData();
        received = s.receiveDataUntilClose();
        s.closeData();
        s.send("226 got " + std::to_string(received.size()) + "\r\n");
    });
    LoopbackClient control(peer.port());
    control.receiveLine();
    control.send("PASV\r\n");
    LoopbackClient down(portOf227(control.receiveLine()));
    control.send("LIST\r\n");
    EXPECT_EQ(control.receiveLine(), "150 here\r\n");
    EXPECT_EQ(control.receiveLine(), "226 done early\r\n");
    EXPECT_EQ(down.receiveAll(), listing);

    const std::string payload = bytePattern(70000);
    control.send("PASV\r\n");
    {
        LoopbackClient up(portOf227(control.receiveLine()));
        control.send("STOR f.bin\r\n");
        EXPECT_EQ(control.receiveLine(), "150 go\r\n");
        up.send(payload);
    }
    EXPECT_EQ(control.receiveLine(), "226 got 70000\r\n");
    EXPECT_EQ(received, payload);
    EXPECT_TRUE(peer.errors().empty());
}

// Active mode connects only to a loopback address; a PORT naming any other host ends the session.
TEST(ScriptedFtpPeer, ActiveDownloadConnectsOnlyToLoopbackAndCanAbortMidTransfer)
{
    ScriptedFtpPeer peer;
    std::string portLine;
    peer.on("PORT", [&](PeerSession& s, const std::string& line) {
        portLine = line;
        s.connectData(line);
        s.send("200 ok\r\n");
    });
    peer.on("RETR", [&](PeerSession& s, const std::string&) {
        s.send("150 sending\r\n");
        s.sendData("partial");
        s.send("426 broken\r\n");
        s.closeData();
    });
    {
        LoopbackClient stranger(peer.port());
        stranger.receiveLine();
        stranger.send("PORT 10,0,0,1,4,1\r\n");
        EXPECT_TRUE(stranger.closedByServer());
        ASSERT_EQ(peer.errors().size(), 1u);
        EXPECT_NE(peer.errors()[0].find("PORT"), std::string::npos);
    }
    uint16_t port = 0;
    const brisk::test::UniqueFd listener(brisk::test::peer_io::listenOnLoopback(port));

    LoopbackClient control(peer.port());
    control.receiveLine();
    control.send("PORT 127,0,0,1," + std::to_string(port >> 8) + "," + std::to_string(port & 255) + "\r\n");
    EXPECT_EQ(control.receiveLine(), "200 ok\r\n");
    control.send("RETR x\r\n");
    EXPECT_EQ(control.receiveLine(), "150 sending\r\n");
    const int data = ::accept(listener.get(), nullptr, nullptr);
    ASSERT_GE(data, 0);
    std::string got;
    char buf[64];
    for (ssize_t n; (n = ::recv(data, buf, sizeof buf, 0)) > 0;)
        got.append(buf, static_cast<size_t>(n));
    EXPECT_EQ(got, "partial");
    EXPECT_EQ(control.receiveLine(), "426 broken\r\n");
    EXPECT_EQ(peer.errors().size(), 1u);
    ::close(data);
}

// A stuck rule must end its session with an error, and a peer must go at once when its test ends while
// a rule waits: no test may hang on the harness.
TEST(ScriptedFtpPeer, AWaitingRuleTimesOutAndDestructionDoesNotWaitForIt)
{
    std::unique_ptr<LoopbackClient> waiting;
    auto peer = std::make_unique<ScriptedFtpPeer>();
    peer->setWaitLimit(100ms);
    peer->on("PASV", ScriptedFtpPeer::passive());
    peer->on("LIST", [](PeerSession& s, const std::string&) { s.acceptData(); });
    {
        LoopbackClient control(peer->port());
        control.receiveLine();
        control.send("PASV\r\nLIST\r\n");
        control.receiveLine();
        EXPECT_TRUE(control.closedByServer());
        ASSERT_EQ(peer->errors().size(), 1u);
        EXPECT_NE(peer->errors()[0].find("timed out"), std::string::npos);
    }
    peer->setWaitLimit(10s);
    waiting = std::make_unique<LoopbackClient>(peer->port());
    waiting->receiveLine();
    waiting->send("PASV\r\nLIST\r\n");
    ASSERT_TRUE(peer->waitForLines(2, 2s, 1));
    const auto start = std::chrono::steady_clock::now();
    peer.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_TRUE(waiting->closedByServer());
}

TEST(ScriptedFtpPeer, DestructionIsPromptWithAnIdleClientConnected)
{
    auto peer = std::make_unique<ScriptedFtpPeer>();
    LoopbackClient client(peer->port());
    client.receiveLine();
    ASSERT_TRUE(peer->waitForConnections(1, 2s));
    const auto start = std::chrono::steady_clock::now();
    peer.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_TRUE(client.closedByServer());
}

} // namespace
