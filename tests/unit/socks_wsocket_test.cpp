#include "net/socket_exception.h"
#include "net/wsocket.h"
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

TEST(SocksRequests, Level5WithAuthenticationSendsUserAndPasswordThenTheRequest)
{
    ScriptedSocksPeer peer(SocksScript()
                               .expect(3).reply(bytes({5, 2}))
                               .expect(14).reply(bytes({1, 0}))
                               .expect(7 + 11).reply(kLevel5Ok));
    SocksProbe p;
    p.s.SocksAuthentication = socksAuthenticateUsercode;
    p.s.SocksUsercode = "alice";
    p.s.SocksPassword = "secret";
    p.connect(peer, "5", "ftp.example");
    ASSERT_TRUE(p.waitFor("connected 0"));
    EXPECT_EQ(peer.received(), bytes({5, 1, 2}) + bytes({1, 5}) + "alice" + bytes({6}) + "secret"
                                   + bytes({5, 1, 0, 3, 11}) + "ftp.example" + kPort2121);
    EXPECT_EQ(p.events, (std::vector<std::string>{"socksConnected 0", "auth 0", "auth 1", "connected 0", "data 0"}));
}

TEST(SocksRequests, Level4CarriesTheResolvedAddressAndTheUserId)
{
    ScriptedSocksPeer peer(SocksScript().expect(12).reply(bytes({0, 90, 0, 0, 0, 0, 0, 0})));
    SocksProbe p;
    p.s.SocksUsercode = "abc";
    p.connect(peer, "4", "localhost");
    ASSERT_TRUE(p.waitFor("connected 0"));
    EXPECT_EQ(peer.received(), bytes({4, 1, 8, 73, 127, 0, 0, 1}) + "abc" + bytes({0}));
}

TEST(SocksRequests, Level4ASendsAddress0001AndTheHostNameUnresolved)
{
    const std::string name = "ftp.nowhere.invalid";
    ScriptedSocksPeer peer(SocksScript().expect(8 + 4 + name.size() + 1).reply(bytes({0, 90, 0, 0, 0, 0, 0, 0})));
    SocksProbe p;
    p.s.SocksUsercode = "abc";
    p.connect(peer, "4a", name);
    ASSERT_TRUE(p.waitFor("connected 0"));
    EXPECT_EQ(peer.received(), bytes({4, 1, 8, 73, 0, 0, 0, 1}) + "abc" + bytes({0}) + name + bytes({0}));
}

TEST(SocksRequests, Level4AToADottedAddressCarriesItInTheAddressField)
{
    ScriptedSocksPeer peer(SocksScript().expect(9).reply(bytes({0, 90, 0, 0, 0, 0, 0, 0})));
    SocksProbe p;
    p.connect(peer, "4A", "10.9.8.7");
    ASSERT_TRUE(p.waitFor("connected 0"));
    EXPECT_EQ(peer.received(), bytes({4, 1, 8, 73, 10, 9, 8, 7, 0}));
}

TEST(SocksRequests, Method0AnsweredToAnOfferOf2SkipsTheCredentials)
{
    ScriptedSocksPeer peer(SocksScript().expect(3).reply(bytes({5, 0})).expect(16).reply(kLevel5Ok));
    SocksProbe p;
    p.s.SocksAuthentication = socksAuthenticateUsercode;
    p.s.SocksUsercode = "alice";
    p.connect(peer, "5");
    ASSERT_TRUE(p.waitFor("connected 0"));
    EXPECT_EQ(peer.received(), bytes({5, 1, 2}) + bytes({5, 1, 0, 3, 9}) + "127.0.0.1" + kPort2121);
    EXPECT_EQ(p.events, (std::vector<std::string>{"socksConnected 0", "auth 3", "connected 0", "data 0"}));
}

TEST(SocksRequests, EmptyCredentialsAreSentAs1_0_0)
{
    ScriptedSocksPeer peer(SocksScript().expect(3).reply(bytes({5, 2})).expect(3).reply(bytes({1, 0}))
                               .expect(16).reply(kLevel5Ok));
    SocksProbe p;
    p.s.SocksAuthentication = socksAuthenticateUsercode;
    p.connect(peer, "5");
    ASSERT_TRUE(p.waitFor("connected 0"));
    EXPECT_EQ(peer.received().substr(3, 3), bytes({1, 0, 0}));
}

// --- replies ---------------------------------------------------------------------------------------------

TEST(SocksReplies, Level4Code91FailsTheConnectAndClosesTheSocket)
{
    ScriptedSocksPeer peer(SocksScript().expect(9).reply(bytes({0, 91, 0, 0, 0, 0, 0, 0})));
    SocksProbe p;
    p.connect(peer, "4");
    ASSERT_TRUE(p.waitFor("closed 20016"));
    EXPECT_EQ(p.events, failureEvents(20016, "request rejected or failed"));
    EXPECT_EQ(p.s.State(), wsClosed);
    EXPECT_TRUE(peer.waitForEnd(0, 2s));
    EXPECT_TRUE(peer.clientClosed(0));
}

struct ReplyCase {
    const char* level;
    std::string reply;
    int code;
    const char* msg;
};

class SocksReplyErrors : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(SocksReplyErrors, EndInTheTablesCodeAndMessage)
{
    const ReplyCase& c = GetParam();
    const bool level5 = std::string(c.level) == "5";
    SocksScript script;
    if (level5)
        script.expect(3).reply(bytes({5, 0})).expect(16);
    else
        script.expect(9);
    ScriptedSocksPeer peer(script.reply(c.reply));
    SocksProbe p;
    p.connect(peer, c.level);
    ASSERT_TRUE(p.waitConnectResult());
    pumpUntil([&] { return p.s.State() == wsClosed; }, 1000);
    EXPECT_EQ(p.events, failureEvents(c.code, c.msg));
    EXPECT_EQ(p.s.State(), wsClosed);
}

INSTANTIATE_TEST_SUITE_P(Level4, SocksReplyErrors, ::testing::Values(
    ReplyCase{"4", bytes({0, 92, 0, 0, 0, 0, 0, 0}), 20008, "connection refused"},
    ReplyCase{"4", bytes({0, 93, 0, 0, 0, 0, 0, 0}), 20015, "authentification failed"},
    ReplyCase{"4", bytes({0, 17, 0, 0, 0, 0, 0, 0}), 20012, "unassigned error #17"},
    ReplyCase{"4", bytes({4, 90, 0, 0, 0, 0, 0, 0}), 20002, "socks version error"}));

INSTANTIATE_TEST_SUITE_P(Level5, SocksReplyErrors, ::testing::Values(
    ReplyCase{"5", bytes({5, 1, 0, 1, 0, 0, 0, 0, 0, 0}), 20004, "general SOCKS server failure"},
    ReplyCase{"5", bytes({5, 2, 0, 1, 0, 0, 0, 0, 0, 0}), 20005, "connection not allowed by ruleset"},
    ReplyCase{"5", bytes({5, 3, 0, 1, 0, 0, 0, 0, 0, 0}), 20006, "network unreachable"},
    ReplyCase{"5", bytes({5, 4, 0, 1, 0, 0, 0, 0, 0, 0}), 20007, "host unreachable"},
    ReplyCase{"5", bytes({5, 5, 0, 1, 0, 0, 0, 0, 0, 0}), 20008, "connection refused"},
    ReplyCase{"5", bytes({5, 6, 0, 1, 0, 0, 0, 0, 0, 0}), 20009, "time to live expired"},
    ReplyCase{"5", bytes({5, 7, 0, 1, 0, 0, 0, 0, 0, 0}), 20010, "command not supported"},
    ReplyCase{"5", bytes({5, 8, 0, 1, 0, 0, 0, 0, 0, 0}), 20011, "address type not supported"},
    ReplyCase{"5", bytes({5, 9, 0, 1, 0, 0, 0, 0, 0, 0}), 20012, "unassigned error #9"},
    ReplyCase{"5", bytes({5, 255}), 20012, "unassigned error #255"},
    ReplyCase{"5", bytes({4, 0, 0, 1, 0, 0, 0, 0, 0, 0}), 20002, "socks version error"},
    ReplyCase{"5", bytes({5, 0, 0, 4}) + std::string(18, '\0'), 20011, "address type not supported"},
    // A bound name longer than the receive area holds.
    ReplyCase{"5", bytes({5, 0, 0, 3, 255}) + std::string(257, 'n'), 20011, "address type not supported"}));

TEST(SocksReplies, MethodRepliesThatEndTheNegotiation)
{
    struct Case {
        std::string reply;
        TSocksAuthentication auth;
        int code;
        const char* msg;
    };
    const Case cases[] = {
        {bytes({4, 0}), socksNoAuthentication, 20002, "socks version error"},
        {bytes({5, 255}), socksAuthenticateUsercode, 20003, "authentification method not acceptable"},
        // The server picks user name and password although they were not offered.
        {bytes({5, 2}), socksNoAuthentication, 20003, "authentification method not acceptable"},
    };
    for (const Case& c : cases) {
        ScriptedSocksPeer peer(SocksScript().expect(3).reply(c.reply));
        SocksProbe p;
        p.s.SocksAuthentication = c.auth;
        p.s.SocksUsercode = "alice";
        p.s.SocksPassword = "secret";
        p.connect(peer, "5");
        ASSERT_TRUE(p.waitFor("closed " + std::to_string(c.code)));
        EXPECT_EQ(p.events, failureEvents(c.code, c.msg));
        EXPECT_TRUE(peer.waitForEnd(0, 2s));
        EXPECT_EQ(peer.received().size(), 3u) << "no credentials may follow: " << c.msg;
    }
}

TEST(SocksReplies, AuthenticationReplies)
{
    struct Case {
        std::string reply;
        int code;
        const char* msg;
    };
    const Case cases[] = {
        {bytes({1, 1}), 20015, "socks authentication failed"},
        {bytes({5, 0}), 20002, "socks version error"},
        {bytes({1, 0, 5, 0, 0, 1}), 20001, "too much data availaible"},
    };
    for (const Case& c : cases) {
        ScriptedSocksPeer peer(SocksScript().expect(3).reply(bytes({5, 2})).expect(5).reply(c.reply));
        SocksProbe p;
        p.s.SocksAuthentication = socksAuthenticateUsercode;
        p.s.SocksUsercode = "u";
        p.s.SocksPassword = "p";
        p.connect(peer, "5");
        ASSERT_TRUE(p.waitFor("closed " + std::to_string(c.code))) << c.msg;
        auto expected = failureEvents(c.code, c.msg);
        expected.insert(expected.begin() + 1, "auth 0");
        EXPECT_EQ(p.events, expected);
    }
}

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

TEST(SocksReplies, AProxyThatHangsUpMidNegotiationFailsTheConnect)
{
    const SocksScript scripts[] = {
        SocksScript().expect(3).hangUp(),
        SocksScript().expect(3).reply(bytes({5, 0})).expect(16).reply(bytes({5, 0, 0})).hangUp(),
    };
    for (const auto& script : scripts) {
        ScriptedSocksPeer peer(script);
        SocksProbe p;
        p.connect(peer, "5");
        ASSERT_TRUE(p.waitFor("closed 0"));
        EXPECT_EQ(p.events, (std::vector<std::string>{"socksConnected 0", "socksError 10053 data receive error",
                                                      "connected 10053", "closed 0"}));
        EXPECT_EQ(p.s.State(), wsClosed);
    }
}

TEST(SocksReplies, AHangUpWhileAuthenticatingReportsTheAuthFailureFirst)
{
    ScriptedSocksPeer peer(SocksScript().expect(3).reply(bytes({5, 2})).expect(3).hangUp());
    SocksProbe p;
    p.s.SocksAuthentication = socksAuthenticateUsercode;
    p.connect(peer, "5");
    ASSERT_TRUE(p.waitFor("closed 0"));
    EXPECT_EQ(p.events, (std::vector<std::string>{"socksConnected 0", "auth 0", "auth 2",
                                                  "socksError 10053 data receive error", "connected 10053",
                                                  "closed 0"}));
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

TEST(SocksLifecycle, ListenIsRefusedWhileASocksServerIsSet)
{
    TWSocket s;
    s.SetSocksServer("127.0.0.1");
    s.SetAddr("0.0.0.0");
    s.SetPort("0");
    try {
        s.Listen();
        FAIL() << "Listen went ahead";
    } catch (const ESocketException& e) {
        EXPECT_STREQ(e.what(), "Listening is not supported thru socks server");
    }
    EXPECT_EQ(s.State(), wsClosed);
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

TEST(SocksLifecycle, ConnectUsageErrors)
{
    struct Case {
        std::string proto, level, addr, user;
        const char* error;
    };
    const Case cases[] = {
        {"udp", "5", "127.0.0.1", "", "tcp is the only protocol supported thru socks server"},
        {"tcp", "5", std::string(256, 'h'), "", "Host name too long for socks server"},
        {"tcp", "5", "127.0.0.1", std::string(256, 'u'), "Socks user code or password too long"},
    };
    for (const Case& c : cases) {
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
