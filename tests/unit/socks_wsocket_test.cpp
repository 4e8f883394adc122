#include "net/socket_exception.h"
#include "net/wsocket.h"
#include "expect_throw.h"
#include "pump.h"
#include "scripted_socks_peer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <initializer_list>
#include <string>
#include <vector>

using namespace brisk;
using namespace brisk::test;
using namespace std::chrono_literals;

namespace {

// Destination port 2121 as the requests carry it.
const std::string kPort2121 = bytes({8, 73});
const std::string kLevel5Ok = bytes({5, 0, 0, 1, 10, 1, 2, 3, 0x1f, 0x90}); // bound 10.1.2.3:8080

// A TWSocket with every event it raises written down in order.
struct SocksProbe {
    TWSocket s;
    std::vector<std::string> events;
    std::string firstReceive;
    bool receiveOnData = true;

    SocksProbe()
    {
        auto note = [this](const std::string& e) { events.push_back(e); };
        s.OnSocksConnected = [note](TCustomWSocket*, uint16_t e) { note("socksConnected " + std::to_string(e)); };
        s.OnSocksError = [note](TCustomWSocket*, int e, const std::string& m) {
            note("socksError " + std::to_string(e) + " " + m);
        };
        s.OnSocksAuthState = [note](TCustomWSocket*, TSocksAuthState a) { note("auth " + std::to_string(a)); };
        s.OnSessionConnected = [note](TCustomWSocket*, uint16_t e) { note("connected " + std::to_string(e)); };
        s.OnSessionClosed = [note](TCustomWSocket*, uint16_t e) { note("closed " + std::to_string(e)); };
        s.OnDataAvailable = [this, note](TCustomWSocket* sock, uint16_t e) {
            note("data " + std::to_string(e));
            if (!receiveOnData || !firstReceive.empty())
                return;
            char buf[256];
            const int n = sock->Receive(buf, sizeof buf);
            if (n > 0)
                firstReceive.assign(buf, size_t(n));
        };
    }

    void connect(const ScriptedSocksPeer& peer, const std::string& level, const std::string& addr = "127.0.0.1")
    {
        s.SetSocksServer("127.0.0.1");
        s.SetSocksPort(std::to_string(peer.port()));
        s.SetSocksLevel(level);
        s.SetAddr(addr);
        s.SetPort("2121");
        s.Connect();
    }

    bool has(const std::string& event) const
    {
        for (const auto& e : events)
            if (e == event)
                return true;
        return false;
    }

    bool waitFor(const std::string& event, int ms = 5000)
    {
        return pumpUntil([&] { return has(event); }, ms);
    }

    // Waits for the owner's connect result, whatever it is.
    bool waitConnectResult()
    {
        return pumpUntil([&] {
            for (const auto& e : events)
                if (e.rfind("connected ", 0) == 0)
                    return true;
            return false;
        });
    }
};

// The events that follow a negotiation failure, in order.
std::vector<std::string> failureEvents(int code, const std::string& msg)
{
    const std::string c = std::to_string(code);
    return {"socksConnected 0", "socksError " + c + " " + msg, "connected " + c, "closed " + c};
}

} // namespace

// --- the requests, byte for byte -----------------------------------------------------------------------

TEST(SocksRequests, Level5WithoutAuthenticationOffersMethod0AndNamesTheDestination)
{
    ScriptedSocksPeer peer(SocksScript().expect(3).reply(bytes({5, 0})).expect(16).reply(kLevel5Ok));
    SocksProbe p;
    p.connect(peer, "5");
    ASSERT_TRUE(p.waitFor("connected 0"));
    EXPECT_EQ(peer.received(), bytes({5, 1, 0}) + bytes({5, 1, 0, 3, 9}) + "127.0.0.1" + kPort2121);
    EXPECT_EQ(p.events, (std::vector<std::string>{"socksConnected 0", "connected 0", "data 0"}));
    EXPECT_EQ(p.s.BoundAddr(), "10.1.2.3");
    EXPECT_EQ(p.s.BoundPort(), "8080");
    EXPECT_EQ(p.s.State(), wsConnected);
}

struct RequestCase {
    const char* name;
    SocksScript script;
    const char* level;
    std::string addr;
    TSocksAuthentication auth;
    std::string user, password;
    std::string sent;                 // every byte the proxy receives
    std::vector<std::string> events;  // empty: not compared
};

class SocksRequestBytes : public ::testing::TestWithParam<RequestCase> {};

TEST_P(SocksRequestBytes, AreExactlyTheseAndTheConnectSucceeds)
{
    const RequestCase& c = GetParam();
    ScriptedSocksPeer peer(c.script);
    SocksProbe p;
    p.s.SocksAuthentication = c.auth;
    p.s.SocksUsercode = c.user;
    p.s.SocksPassword = c.password;
    p.connect(peer, c.level, c.addr);
    ASSERT_TRUE(p.waitFor("connected 0"));
    EXPECT_EQ(peer.received(), c.sent);
    if (!c.events.empty()) {
        EXPECT_EQ(p.events, c.events);
    }
}

const std::string kLevel4Ok = bytes({0, 90, 0, 0, 0, 0, 0, 0});
const std::string kTo127001 = bytes({5, 1, 0, 3, 9}) + "127.0.0.1" + kPort2121;

INSTANTIATE_TEST_SUITE_P(Requests, SocksRequestBytes, ::testing::Values(
    RequestCase{"Level5UserAndPasswordThenTheRequest",
                SocksScript().expect(3).reply(bytes({5, 2})).expect(14).reply(bytes({1, 0}))
                    .expect(7 + 11).reply(kLevel5Ok),
                "5", "ftp.example", socksAuthenticateUsercode, "alice", "secret",
                bytes({5, 1, 2}) + bytes({1, 5}) + "alice" + bytes({6}) + "secret" + bytes({5, 1, 0, 3, 11})
                    + "ftp.example" + kPort2121,
                {"socksConnected 0", "auth 0", "auth 1", "connected 0", "data 0"}},
    // Method 0 answered to an offer of 2: the credentials are skipped.
    RequestCase{"Level5Method0AnsweredToAnOfferOf2",
                SocksScript().expect(3).reply(bytes({5, 0})).expect(16).reply(kLevel5Ok),
                "5", "127.0.0.1", socksAuthenticateUsercode, "alice", "",
                bytes({5, 1, 2}) + kTo127001, {"socksConnected 0", "auth 3", "connected 0", "data 0"}},
    RequestCase{"Level5EmptyCredentialsAre1_0_0",
                SocksScript().expect(3).reply(bytes({5, 2})).expect(3).reply(bytes({1, 0})).expect(16).reply(kLevel5Ok),
                "5", "127.0.0.1", socksAuthenticateUsercode, "", "",
                bytes({5, 1, 2}) + bytes({1, 0, 0}) + kTo127001, {}},
    RequestCase{"Level4ResolvedAddressAndUserId", SocksScript().expect(12).reply(kLevel4Ok),
                "4", "localhost", socksNoAuthentication, "abc", "",
                bytes({4, 1, 8, 73, 127, 0, 0, 1}) + "abc" + bytes({0}), {}},
    RequestCase{"Level4AAddress0001AndTheNameUnresolved",
                SocksScript().expect(8 + 4 + 19 + 1).reply(kLevel4Ok),
                "4a", "ftp.nowhere.invalid", socksNoAuthentication, "abc", "",
                bytes({4, 1, 8, 73, 0, 0, 0, 1}) + "abc" + bytes({0}) + "ftp.nowhere.invalid" + bytes({0}), {}},
    RequestCase{"Level5IPv6AddressAsAddressType4",
                SocksScript().expect(3).reply(bytes({5, 0})).expect(4 + 16 + 2).reply(kLevel5Ok),
                "5", "[2001:db8::7]", socksNoAuthentication, "", "",
                bytes({5, 1, 0}) + bytes({5, 1, 0, 4, 0x20, 1, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7})
                    + kPort2121, {}},
    RequestCase{"Level4AToADottedAddressCarriesIt", SocksScript().expect(9).reply(kLevel4Ok),
                "4A", "10.9.8.7", socksNoAuthentication, "", "", bytes({4, 1, 8, 73, 10, 9, 8, 7, 0}), {}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- replies ---------------------------------------------------------------------------------------------

// How far the negotiation gets before the reply under test, and so what the proxy has received by then.
enum class Stage { Level4, Method, Authentication, Level5 };

struct ConnectReplyCase {
    Stage stage;
    std::string reply;
    int code;
    const char* msg;
    TSocksAuthentication auth = socksNoAuthentication;
};

SocksScript scriptUpTo(Stage stage, const std::string& reply)
{
    SocksScript script;
    switch (stage) {
    case Stage::Level4: return script.expect(9).reply(reply);
    case Stage::Method: return script.expect(3).reply(reply);
    case Stage::Authentication: return script.expect(3).reply(bytes({5, 2})).expect(5).reply(reply);
    case Stage::Level5: return script.expect(3).reply(bytes({5, 0})).expect(16).reply(reply);
    }
    return script;
}

size_t bytesSentUpTo(Stage stage)
{
    switch (stage) {
    case Stage::Level4: return 9;
    case Stage::Method: return 3; // no credentials may follow a refused method
    case Stage::Authentication: return 8;
    case Stage::Level5: return 19;
    }
    return 0;
}

class SocksReplyErrors : public ::testing::TestWithParam<ConnectReplyCase> {};

// The owner learns the code and message once, the connect fails, and the socket is closed.
TEST_P(SocksReplyErrors, EndInTheTablesCodeAndMessage)
{
    const ConnectReplyCase& c = GetParam();
    ScriptedSocksPeer peer(scriptUpTo(c.stage, c.reply));
    SocksProbe p;
    p.s.SocksAuthentication = c.auth;
    if (c.stage == Stage::Authentication || c.stage == Stage::Method) {
        p.s.SocksUsercode = "u";
        p.s.SocksPassword = "p";
    }
    p.connect(peer, c.stage == Stage::Level4 ? "4" : "5");
    ASSERT_TRUE(p.waitConnectResult());
    pumpUntil([&] { return p.s.State() == wsClosed; }, 30000);
    auto expected = failureEvents(c.code, c.msg);
    if (c.stage == Stage::Authentication)
        expected.insert(expected.begin() + 1, "auth 0");
    EXPECT_EQ(p.events, expected);
    EXPECT_EQ(p.s.State(), wsClosed);
    EXPECT_TRUE(peer.waitForEnd(0, 2s));
    EXPECT_TRUE(peer.clientClosed(0));
    EXPECT_EQ(peer.received().size(), bytesSentUpTo(c.stage));
}

INSTANTIATE_TEST_SUITE_P(Level4, SocksReplyErrors, ::testing::Values(
    ConnectReplyCase{Stage::Level4, bytes({0, 91, 0, 0, 0, 0, 0, 0}), 20016, "request rejected or failed"},
    ConnectReplyCase{Stage::Level4, bytes({0, 92, 0, 0, 0, 0, 0, 0}), 20008, "connection refused"},
    ConnectReplyCase{Stage::Level4, bytes({0, 93, 0, 0, 0, 0, 0, 0}), 20015, "authentification failed"},
    ConnectReplyCase{Stage::Level4, bytes({0, 17, 0, 0, 0, 0, 0, 0}), 20012, "unassigned error #17"},
    ConnectReplyCase{Stage::Level4, bytes({4, 90, 0, 0, 0, 0, 0, 0}), 20002, "socks version error"}));

INSTANTIATE_TEST_SUITE_P(Method, SocksReplyErrors, ::testing::Values(
    ConnectReplyCase{Stage::Method, bytes({4, 0}), 20002, "socks version error"},
    ConnectReplyCase{Stage::Method, bytes({5, 255}), 20003, "authentification method not acceptable",
              socksAuthenticateUsercode},
    // The server picks user name and password although they were not offered.
    ConnectReplyCase{Stage::Method, bytes({5, 2}), 20003, "authentification method not acceptable"}));

INSTANTIATE_TEST_SUITE_P(Authentication, SocksReplyErrors, ::testing::Values(
    ConnectReplyCase{Stage::Authentication, bytes({1, 1}), 20015, "socks authentication failed", socksAuthenticateUsercode},
    ConnectReplyCase{Stage::Authentication, bytes({5, 0}), 20002, "socks version error", socksAuthenticateUsercode},
    ConnectReplyCase{Stage::Authentication, bytes({1, 0, 5, 0, 0, 1}), 20001, "too much data availaible",
              socksAuthenticateUsercode}));

INSTANTIATE_TEST_SUITE_P(Level5, SocksReplyErrors, ::testing::Values(
    ConnectReplyCase{Stage::Level5, bytes({5, 1, 0, 1, 0, 0, 0, 0, 0, 0}), 20004, "general SOCKS server failure"},
    ConnectReplyCase{Stage::Level5, bytes({5, 2, 0, 1, 0, 0, 0, 0, 0, 0}), 20005, "connection not allowed by ruleset"},
    ConnectReplyCase{Stage::Level5, bytes({5, 3, 0, 1, 0, 0, 0, 0, 0, 0}), 20006, "network unreachable"},
    ConnectReplyCase{Stage::Level5, bytes({5, 4, 0, 1, 0, 0, 0, 0, 0, 0}), 20007, "host unreachable"},
    ConnectReplyCase{Stage::Level5, bytes({5, 5, 0, 1, 0, 0, 0, 0, 0, 0}), 20008, "connection refused"},
    ConnectReplyCase{Stage::Level5, bytes({5, 6, 0, 1, 0, 0, 0, 0, 0, 0}), 20009, "time to live expired"},
    ConnectReplyCase{Stage::Level5, bytes({5, 7, 0, 1, 0, 0, 0, 0, 0, 0}), 20010, "command not supported"},
    ConnectReplyCase{Stage::Level5, bytes({5, 8, 0, 1, 0, 0, 0, 0, 0, 0}), 20011, "address type not supported"},
    ConnectReplyCase{Stage::Level5, bytes({5, 9, 0, 1, 0, 0, 0, 0, 0, 0}), 20012, "unassigned error #9"},
    ConnectReplyCase{Stage::Level5, bytes({5, 255}), 20012, "unassigned error #255"},
    ConnectReplyCase{Stage::Level5, bytes({4, 0, 0, 1, 0, 0, 0, 0, 0, 0}), 20002, "socks version error"},
    ConnectReplyCase{Stage::Level5, bytes({5, 0, 0, 4}) + std::string(18, '\0'), 20011, "address type not supported"},
    // A bound name longer than the receive area holds.
    ConnectReplyCase{Stage::Level5, bytes({5, 0, 0, 3, 255}) + std::string(257, 'n'), 20011, "address type not supported"}));

TEST(SocksReplies, ALevel5ReplyAndThe220LineInOnePacket)
{
    ScriptedSocksPeer peer(SocksScript().expect(3).reply(bytes({5, 0})).expect(16)
                               .reply(bytes({5, 0, 0, 1, 127, 0, 0, 1, 0, 21}) + "220 Ready\r\n"));
    SocksProbe p;
    int waitingAtConnect = -1;
    p.s.OnSessionConnected = [&](TCustomWSocket* sock, uint16_t e) {
        p.events.push_back("connected " + std::to_string(e));
        waitingAtConnect = sock->GetRcvdCount();
    };
    p.connect(peer, "5");
    ASSERT_TRUE(pumpUntil([&] { return !p.firstReceive.empty(); }));
    EXPECT_EQ(p.events.at(1), "connected 0");
    EXPECT_EQ(p.events.at(2), "data 0");
    EXPECT_EQ(waitingAtConnect, 11);
    EXPECT_EQ(p.firstReceive, "220 Ready\r\n");
    EXPECT_EQ(p.s.BoundPort(), "21");
}

TEST(SocksReplies, LeftOverBytesComeFirstAcrossSmallReceives)
{
    ScriptedSocksPeer peer(SocksScript().expect(3).reply(bytes({5, 0})).expect(16)
                               .reply(kLevel5Ok + "220 a\r\n").expectLine().reply("331 b\r\n"));
    SocksProbe p;
    p.receiveOnData = false;
    p.connect(peer, "5");
    ASSERT_TRUE(p.waitFor("connected 0"));
    std::string got;
    char c;
    while (p.s.GetRcvdCount() > 0 && p.s.Receive(&c, 1) == 1)
        got += c;
    EXPECT_EQ(got, "220 a\r\n");
    p.s.SendStr("USER x\r\n");
    ASSERT_TRUE(pumpUntil([&] { return p.s.GetRcvdCount() >= 7; }));
    EXPECT_EQ(p.s.ReceiveStr(), "331 b\r\n");
}

TEST(SocksReplies, EveryReplySplitByteByByteStillCompletes)
{
    ScriptedSocksPeer peer(SocksScript()
                               .expect(3).replyByteByByte(bytes({5, 2}))
                               .expect(5).replyByteByByte(bytes({1, 0}))
                               .expect(16).replyByteByByte(bytes({5, 0, 0, 3, 5}) + "proxy" + bytes({4, 1}))
                               .replyByteByByte("220 x\r\n"));
    SocksProbe p;
    p.s.SocksAuthentication = socksAuthenticateUsercode;
    p.s.SocksUsercode = "u";
    p.s.SocksPassword = "p";
    p.connect(peer, "5");
    ASSERT_TRUE(p.waitFor("connected 0"));
    EXPECT_EQ(p.s.BoundAddr(), "proxy");
    EXPECT_EQ(p.s.BoundPort(), "1025");
    std::string text;
    ASSERT_TRUE(pumpUntil([&] {
        text += p.s.ReceiveStr();
        return p.firstReceive.size() + text.size() >= 7;
    }));
    EXPECT_EQ(p.firstReceive + text, "220 x\r\n");
}

TEST(SocksReplies, Level4ReplySplitByteByByteLeavesTheBannerInTheSocket)
{
    ScriptedSocksPeer peer(SocksScript().expect(9).replyByteByByte(bytes({0, 90, 1, 2, 3, 4, 5, 6}) + "220 y\r\n"));
    SocksProbe p;
    p.connect(peer, "4");
    ASSERT_TRUE(pumpUntil([&] { return p.firstReceive.size() > 0; }));
    std::string text = p.firstReceive;
    pumpUntil([&] {
        text += p.s.ReceiveStr();
        return text.size() >= 7;
    });
    EXPECT_EQ(text, "220 y\r\n");
}

// A hang-up while authenticating reports the authentication failure first.
TEST(SocksReplies, AProxyThatHangsUpMidNegotiationFailsTheConnect)
{
    const std::vector<std::string> hungUp = {"socksError 10053 data receive error", "connected 10053", "closed 0"};
    const struct {
        SocksScript script;
        TSocksAuthentication auth;
        std::vector<std::string> before;
    } cases[] = {
        {SocksScript().expect(3).hangUp(), socksNoAuthentication, {"socksConnected 0"}},
        {SocksScript().expect(3).reply(bytes({5, 0})).expect(16).reply(bytes({5, 0, 0})).hangUp(),
         socksNoAuthentication, {"socksConnected 0"}},
        {SocksScript().expect(3).reply(bytes({5, 2})).expect(3).hangUp(), socksAuthenticateUsercode,
         {"socksConnected 0", "auth 0", "auth 2"}},
    };
    for (const auto& c : cases) {
        ScriptedSocksPeer peer(c.script);
        SocksProbe p;
        p.s.SocksAuthentication = c.auth;
        p.connect(peer, "5");
        ASSERT_TRUE(p.waitFor("closed 0"));
        auto expected = c.before;
        expected.insert(expected.end(), hungUp.begin(), hungUp.end());
        EXPECT_EQ(p.events, expected);
        EXPECT_EQ(p.s.State(), wsClosed);
    }
}

TEST(SocksReplies, ARefusedProxyConnectionIsReportedTwice)
{
    int unused;
    {
        ScriptedSocksPeer gone{SocksScript()};
        unused = gone.port();
    }
    SocksProbe p;
    p.s.SetSocksServer("127.0.0.1");
    p.s.SetSocksPort(std::to_string(unused));
    p.s.SetAddr("127.0.0.1");
    p.s.SetPort("21");
    p.s.Connect();
    ASSERT_TRUE(p.waitFor("connected 10061"));
    EXPECT_EQ(p.events.at(0), "socksConnected 10061");
    EXPECT_EQ(p.events.at(1), "connected 10061");
}

// --- lifecycle and usage -------------------------------------------------------------------------------------

TEST(SocksLifecycle, AfterASocksConnectionTheNextConnectGoesDirect)
{
    ScriptedSocksPeer proxy(SocksScript().expect(3).reply(bytes({5, 0})).expect(16).reply(kLevel5Ok));
    SocksProbe p;
    p.s.SocksUsercode = "kept";
    p.s.SocksAuthentication = socksAuthenticateUsercode;
    p.connect(proxy, "4A");
    ASSERT_TRUE(p.waitConnectResult());
    p.s.Close();
    EXPECT_EQ(p.s.SocksServer(), "");
    EXPECT_EQ(p.s.SocksPort(), "");
    EXPECT_EQ(p.s.SocksLevel(), "5");
    EXPECT_EQ(p.s.SocksUsercode, "kept");
    EXPECT_EQ(p.s.SocksAuthentication, socksAuthenticateUsercode);

    ScriptedSocksPeer direct(SocksScript().reply("220 direct\r\n"));
    p.events.clear();
    p.firstReceive.clear();
    p.s.SetAddr("127.0.0.1");
    p.s.SetPort(std::to_string(direct.port()));
    p.s.Connect();
    ASSERT_TRUE(pumpUntil([&] { return !p.firstReceive.empty(); }));
    EXPECT_EQ(p.firstReceive, "220 direct\r\n");
    EXPECT_EQ(p.events.at(0), "connected 0") << "no SOCKS event on a direct connection";
    EXPECT_EQ(direct.received(), "");
    EXPECT_EQ(proxy.connectionCount(), 1u);
}

TEST(SocksLifecycle, SettersTrimNormaliseAndRefuse)
{
    TWSocket s;
    std::vector<std::string> errors;
    s.OnError = [&](TCustomWSocket* sock) { errors.push_back(sock->LastErrorMessage()); };
    s.SetSocksServer("  proxy.local ");
    s.SetSocksPort(" 1080 ");
    EXPECT_EQ(s.SocksServer(), "proxy.local");
    EXPECT_EQ(s.SocksPort(), "1080");
    s.SetSocksLevel("4a");
    EXPECT_EQ(s.SocksLevel(), "4A");
    for (const char* bad : {"3", "", "5a", "45", "4 "})
        s.SetSocksLevel(bad);
    EXPECT_EQ(s.SocksLevel(), "4A");
    EXPECT_EQ(errors, std::vector<std::string>(5, "Invalid socks level. Must be 4, 4A or 5."));

    errors.clear();
    ScriptedSocksPeer peer(SocksScript().expect(3));
    s.SetSocksServer("127.0.0.1");
    s.SetSocksPort(std::to_string(peer.port()));
    s.SetSocksLevel("5");
    s.SetAddr("127.0.0.1");
    s.SetPort("21");
    s.Connect();
    s.SetSocksServer("other");
    s.SetSocksPort("1");
    s.SetSocksLevel("4");
    EXPECT_EQ(errors, (std::vector<std::string>{"Can't change socks server if not closed",
                                                "Can't change socks port if not closed",
                                                "Can't change socks level if not closed"}));
    EXPECT_EQ(s.SocksServer(), "127.0.0.1");
    EXPECT_EQ(s.SocksLevel(), "5");
}

// Listening (thrown), UDP, an over-long host name or user code (reported): nothing starts.
TEST(SocksLifecycle, UsageErrors)
{
    TWSocket listener;
    listener.SetSocksServer("127.0.0.1");
    listener.SetAddr("0.0.0.0");
    listener.SetPort("0");
    expectThrowWhat<ESocketException>([&] { listener.Listen(); }, "Listening is not supported thru socks server");
    EXPECT_EQ(listener.State(), wsClosed);

    const struct {
        std::string proto, addr, user;
        const char* error;
        const char* level = "5";
    } cases[] = {
        {"udp", "127.0.0.1", "", "tcp is the only protocol supported thru socks server"},
        {"tcp", std::string(256, 'h'), "", "Host name too long for socks server"},
        {"tcp", "127.0.0.1", std::string(256, 'u'), "Socks user code or password too long"},
        {"tcp", "::1", "", "IPv6 addresses need socks level 5", "4A"},
    };
    for (const auto& c : cases) {
        TWSocket s;
        std::string error;
        s.OnError = [&](TCustomWSocket* sock) { error = sock->LastErrorMessage(); };
        s.SetSocksServer("127.0.0.1");
        s.SetSocksPort("1");
        s.SetSocksLevel(c.level);
        s.SocksAuthentication = socksAuthenticateUsercode;
        s.SocksUsercode = c.user;
        s.SetProto(c.proto);
        s.SetAddr(c.addr);
        s.SetPort("21");
        s.Connect();
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(s.State(), wsClosed);
    }
}
