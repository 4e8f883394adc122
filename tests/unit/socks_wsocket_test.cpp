#include "engine_driver.h"
#include "net/socket_exception.h"
#include "net/wsocket.h"
#include "expect_throw.h"
#include "pump.h"
#include "scripted_ftp_peer.h"
#include "scripted_socks_peer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace brisk;
using namespace brisk::test;
using namespace std::chrono_literals;

namespace {

const std::string kPort2121 = bytes({8, 73});
const std::string kBoundOk = bytes({5, 0, 0, 1, 10, 1, 2, 3, 0x1f, 0x90}); // bound 10.1.2.3:8080
const std::string kGranted4 = bytes({0, 90, 0, 0, 0, 0, 0, 0});
const std::string kTo127001 = bytes({5, 1, 0, 3, 9}) + "127.0.0.1" + kPort2121;

// A TWSocket with every event it raises written down in order; the first data is read on arrival.
struct SocksProbe {
    TWSocket s;
    std::vector<std::string> events;
    std::string firstReceive;
    bool receiveOnData = true;

    SocksProbe()
    {
        auto note = [this](const std::string& e, int code) { events.push_back(e + " " + std::to_string(code)); };
        s.OnSocksConnected = [note](TCustomWSocket*, uint16_t e) { note("socksConnected", e); };
        s.OnSocksAuthState = [note](TCustomWSocket*, TSocksAuthState a) { note("auth", a); };
        s.OnSessionConnected = [note](TCustomWSocket*, uint16_t e) { note("connected", e); };
        s.OnSessionClosed = [note](TCustomWSocket*, uint16_t e) { note("closed", e); };
        s.OnDataAvailable = [this, note](TCustomWSocket* sock, uint16_t e) {
            note("data", e);
            char buf[256];
            int n;
            if (receiveOnData && firstReceive.empty() && (n = sock->Receive(buf, sizeof buf)) > 0)
                firstReceive.assign(buf, size_t(n));
        };
        s.OnSocksError = [this](TCustomWSocket*, int e, const std::string& m) {
            events.push_back("socksError " + std::to_string(e) + " " + m);
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
    void credentials(const std::string& user, const std::string& password)
    {
        s.SocksAuthentication = socksAuthenticateUsercode;
        s.SocksUsercode = user;
        s.SocksPassword = password;
    }
    bool has(const std::string& event) const { return std::find(events.begin(), events.end(), event) != events.end(); }
    bool waitFor(const std::string& event) { return pumpUntil([&] { return has(event); }, 5000); }
    bool waitConnectResult()
    {
        return pumpUntil([&] {
            return std::any_of(events.begin(), events.end(), [](auto& e) { return e.rfind("connected ", 0) == 0; });
        });
    }
};

// Every byte the proxy receives, and the events up to the connect.
struct RequestCase {
    const char* name;
    SocksScript script;
    const char* level;
    std::string addr;
    TSocksAuthentication auth;
    std::string user, password;
    std::string sent;
    std::vector<std::string> events; // empty: not compared
};

class SocksRequestBytes : public ::testing::TestWithParam<RequestCase> {};

TEST_P(SocksRequestBytes, AreExactlyTheseAndTheConnectSucceeds)
{
    const RequestCase& c = GetParam();
    ScriptedSocksPeer peer(c.script);
    SocksProbe p;
    p.credentials(c.user, c.password);
    p.s.SocksAuthentication = c.auth;
    p.connect(peer, c.level, c.addr);
    ASSERT_TRUE(p.waitFor("connected 0"));
    EXPECT_EQ(peer.received(), c.sent);
    if (!c.events.empty()) {
        EXPECT_EQ(p.events, c.events);
    }
    if (c.script.steps().back().bytes == kBoundOk) {
        EXPECT_EQ(p.s.BoundAddr(), "10.1.2.3");
        EXPECT_EQ(p.s.BoundPort(), "8080");
    }
    EXPECT_EQ(p.s.State(), wsConnected);
}

INSTANTIATE_TEST_SUITE_P(Requests, SocksRequestBytes, ::testing::Values(
    RequestCase{"Level5WithoutAuthentication", SocksScript().expect(3).reply(bytes({5, 0})).expect(16).reply(kBoundOk),
                "5", "127.0.0.1", socksNoAuthentication, "", "", bytes({5, 1, 0}) + kTo127001,
                {"socksConnected 0", "connected 0", "data 0"}},
    RequestCase{"Level5UserAndPasswordThenTheRequest",
                SocksScript().expect(3).reply(bytes({5, 2})).expect(14).reply(bytes({1, 0})).expect(18).reply(kBoundOk),
                "5", "ftp.example", socksAuthenticateUsercode, "alice", "secret",
                bytes({5, 1, 2, 1, 5}) + "alice" + bytes({6}) + "secret" + bytes({5, 1, 0, 3, 11}) + "ftp.example"
                    + kPort2121,
                {"socksConnected 0", "auth 0", "auth 1", "connected 0", "data 0"}},
    // Method 0 answered to an offer of 2: the credentials are skipped.
    RequestCase{"Level5Method0AnsweredToAnOfferOf2",
                SocksScript().expect(3).reply(bytes({5, 0})).expect(16).reply(kBoundOk), "5", "127.0.0.1", socksAuthenticateUsercode, "alice", "",
                bytes({5, 1, 2}) + kTo127001, {"socksConnected 0", "auth 3", "connected 0", "data 0"}},
    RequestCase{"Level5EmptyCredentialsAre1_0_0",
                SocksScript().expect(3).reply(bytes({5, 2})).expect(3).reply(bytes({1, 0})).expect(16).reply(kBoundOk),
                "5", "127.0.0.1", socksAuthenticateUsercode, "", "", bytes({5, 1, 2, 1, 0, 0}) + kTo127001, {}},
    RequestCase{"Level4ResolvedAddressAndUserId", SocksScript().expect(12).reply(kGranted4), "4", "localhost", socksNoAuthentication, "abc", "",
                bytes({4, 1, 8, 73, 127, 0, 0, 1}) + "abc" + bytes({0}), {}},
    RequestCase{"Level4AAddress0001AndTheNameUnresolved", SocksScript().expect(32).reply(kGranted4), "4a",
                "ftp.nowhere.invalid", socksNoAuthentication, "abc", "",
                bytes({4, 1, 8, 73, 0, 0, 0, 1}) + "abc" + bytes({0}) + "ftp.nowhere.invalid" + bytes({0}), {}},
    RequestCase{"Level5IPv6AddressAsAddressType4",
                SocksScript().expect(3).reply(bytes({5, 0})).expect(22).reply(kBoundOk), "5", "[2001:db8::7]", socksNoAuthentication, "", "",
                bytes({5, 1, 0, 5, 1, 0, 4, 0x20, 1, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7}) + kPort2121, {}},
    RequestCase{"Level4AToADottedAddressCarriesIt", SocksScript().expect(9).reply(kGranted4), "4A", "10.9.8.7", socksNoAuthentication, "", "",
                bytes({4, 1, 8, 73, 10, 9, 8, 7, 0}), {}}),
    [](const auto& info) { return std::string(info.param.name); });

// A refusal at each stage of the negotiation reaches the owner once with the reply's code and text (the
// reader's table in socks_reply_test.cpp has every code), the connect fails and the socket closes. The
// last two are the socket's own judgement of the method chosen.
struct RefusalCase {
    const char* name;
    SocksScript script;
    const char* level;
    bool offerCredentials;
    int code;
    const char* msg;
    size_t bytesSent; // no credentials may follow a refused method
};

class SocksRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(SocksRefusal, EndsTheConnectWithTheCodeAndClosesTheSocket)
{
    const RefusalCase& c = GetParam();
    ScriptedSocksPeer peer(c.script);
    SocksProbe p;
    if (c.offerCredentials)
        p.credentials("u", "p");
    p.connect(peer, c.level);
    ASSERT_TRUE(p.waitConnectResult());
    pumpUntil([&] { return p.s.State() == wsClosed; });
    const std::string code = std::to_string(c.code);
    std::vector<std::string> expected = {"socksConnected 0", "socksError " + code + " " + c.msg, "connected " + code,
                                         "closed " + code};
    if (std::string(c.name) == "Authentication")
        expected.insert(expected.begin() + 1, "auth 0");
    EXPECT_EQ(p.events, expected);
    EXPECT_EQ(p.s.State(), wsClosed);
    EXPECT_TRUE(peer.waitForEnd(0, 2s));
    EXPECT_TRUE(peer.clientClosed(0));
    EXPECT_EQ(peer.received().size(), c.bytesSent);
}

INSTANTIATE_TEST_SUITE_P(Stages, SocksRefusal, ::testing::Values(
    RefusalCase{"Level4", SocksScript().expect(9).reply(bytes({0, 91, 0, 0, 0, 0, 0, 0})), "4", false, 20016,
                "request rejected or failed", 9},
    RefusalCase{"MethodVersion", SocksScript().expect(3).reply(bytes({4, 0})), "5", false, 20002, "socks version error", 3},
    RefusalCase{"Authentication", SocksScript().expect(3).reply(bytes({5, 2})).expect(5).reply(bytes({1, 1})), "5", true,
                20015, "socks authentication failed", 8},
    RefusalCase{"Level5", SocksScript().expect(3).reply(bytes({5, 0})).expect(16).reply(bytes({5, 5, 0, 1, 0, 0, 0, 0, 0, 0})),
                "5", false, 20008, "connection refused", 19},
    // A bound name longer than the receive area holds.
    RefusalCase{"Level5LongName", SocksScript().expect(3).reply(bytes({5, 0})).expect(16)
                    .reply(bytes({5, 0, 0, 3, 255}) + std::string(257, 'n')),
                "5", false, 20011, "address type not supported", 19},
    RefusalCase{"NoMethodAcceptable", SocksScript().expect(3).reply(bytes({5, 255})), "5", true, 20003,
                "authentification method not acceptable", 3},
    // The server picks user name and password although they were not offered.
    RefusalCase{"MethodNotOffered", SocksScript().expect(3).reply(bytes({5, 2})), "5", false, 20003,
                "authentification method not acceptable", 3}),
    [](const auto& info) { return std::string(info.param.name); });

// The destination's first bytes behind the reply wait in the socket before OnSessionConnected, come out
// first across one-byte receives and are followed by what comes later.
TEST(SocksReplies, BytesBehindALevel5ReplyAreTheDestinationsFirst)
{
    ScriptedSocksPeer peer(SocksScript().expect(3).reply(bytes({5, 0})).expect(16)
                               .reply(bytes({5, 0, 0, 1, 127, 0, 0, 1, 0, 21}) + "220 a\r\n").expectLine().reply("331 b\r\n"));
    SocksProbe p;
    p.receiveOnData = false;
    int waitingAtConnect = -1;
    p.s.OnSessionConnected = [&](TCustomWSocket* sock, uint16_t e) {
        p.events.push_back("connected " + std::to_string(e));
        waitingAtConnect = sock->GetRcvdCount();
    };
    p.connect(peer, "5");
    ASSERT_TRUE(p.waitFor("data 0"));
    ASSERT_GE(p.events.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(p.events.begin(), p.events.begin() + 3),
              (std::vector<std::string>{"socksConnected 0", "connected 0", "data 0"}));
    EXPECT_EQ(waitingAtConnect, 7);
    EXPECT_EQ(p.s.BoundPort(), "21");
    std::string got;
    for (char c; p.s.GetRcvdCount() > 0 && p.s.Receive(&c, 1) == 1;)
        got += c;
    EXPECT_EQ(got, "220 a\r\n");
    p.s.SendStr("USER x\r\n");
    ASSERT_TRUE(pumpUntil([&] { return p.s.GetRcvdCount() >= 7; }));
    EXPECT_EQ(p.s.ReceiveStr(), "331 b\r\n");
}

// Replies that arrive a byte at a time complete; a level-4 reply is read exactly, the banner stays.
TEST(SocksReplies, EveryReplySplitByteByByteStillCompletes)
{
    const struct {
        SocksScript script;
        const char* level;
        bool credentials;
        const char* boundAddr;
    } rows[] = {
        {SocksScript().expect(3).replyByteByByte(bytes({5, 2})).expect(5).replyByteByByte(bytes({1, 0})).expect(16)
             .replyByteByByte(bytes({5, 0, 0, 3, 5}) + "proxy" + bytes({4, 1})).replyByteByByte("220 x\r\n"),
         "5", true, "proxy"},
        {SocksScript().expect(9).replyByteByByte(bytes({0, 90, 1, 2, 3, 4, 5, 6}) + "220 x\r\n"), "4", false, ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.level);
        ScriptedSocksPeer peer(r.script);
        SocksProbe p;
        if (r.credentials)
            p.credentials("u", "p");
        p.connect(peer, r.level);
        ASSERT_TRUE(p.waitFor("connected 0"));
        EXPECT_EQ(p.s.BoundAddr(), r.boundAddr);
        std::string text;
        ASSERT_TRUE(pumpUntil([&] {
            text += p.s.ReceiveStr();
            return p.firstReceive.size() + text.size() >= 7;
        }));
        EXPECT_EQ(p.firstReceive + text, "220 x\r\n");
    }
}

// A hang-up while authenticating reports the authentication failure first.
TEST(SocksReplies, AProxyThatHangsUpMidNegotiationFailsTheConnect)
{
    const std::vector<std::string> hungUp = {"socksError 10053 data receive error", "connected 10053", "closed 0"};
    const struct {
        SocksScript script;
        bool credentials;
        std::vector<std::string> before;
    } cases[] = {
        {SocksScript().expect(3).hangUp(), false, {"socksConnected 0"}},
        {SocksScript().expect(3).reply(bytes({5, 0})).expect(16).reply(bytes({5, 0, 0})).hangUp(), false,
         {"socksConnected 0"}},
        {SocksScript().expect(3).reply(bytes({5, 2})).expect(3).hangUp(), true, {"socksConnected 0", "auth 0", "auth 2"}},
    };
    for (const auto& c : cases) {
        ScriptedSocksPeer peer(c.script);
        SocksProbe p;
        if (c.credentials)
            p.credentials("", "");
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
    uint16_t unused;
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

TEST(SocksLifecycle, AfterASocksConnectionTheNextConnectGoesDirect)
{
    ScriptedSocksPeer proxy(SocksScript().expect(3).reply(bytes({5, 0})).expect(16).reply(kBoundOk));
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

} // namespace

// --- the engine through a SOCKS proxy ---

namespace {

const std::string kRequestTo21 = bytes({5, 1, 0, 3, 9}) + "127.0.0.1" + bytes({0, 21});
const std::string kSocks5Granted = bytes({5, 0, 0, 1, 127, 0, 0, 1, 0, 21});

void useSocks(EngineDriver& d, int kind, uint16_t proxyPort)
{
    d.ftp.SetConnectionType(kind);
    d.ftp.SetSocksServer("127.0.0.1");
    d.ftp.SetSocksPort(std::to_string(proxyPort));
    d.connectTo(21);
}

} // namespace

TEST(FtpSocks, TheControlConnectionOfEverySessionGoesThroughTheProxy)
{
    // The proxy answers the FTP side itself: banner behind the reply, then USER and QUIT.
    ScriptedSocksPeer proxy(SocksScript()
                                .expect(3).reply(bytes({5, 0}))
                                .expect(kRequestTo21.size()).reply(kSocks5Granted + "220 behind the proxy\r\n")
                                .expectLine().reply("331 user ok\r\n")
                                .expectLine().reply("221 bye\r\n"));
    EngineDriver d;
    useSocks(d, ftpSocks5, proxy.port());
    d.ftp.UserName = "brisk";
    for (size_t session = 0; session < 2; ++session) {
        ASSERT_EQ(d.run([&] { d.ftp.OpenAsync(); }), 0) << "session " << session;
        EXPECT_TRUE(d.logged("< 220 behind the proxy"));
        ASSERT_EQ(d.run([&] { d.ftp.UserAsync(); }), 0);
        EXPECT_EQ(d.ftp.StatusCode(), 331);
        ASSERT_EQ(d.run([&] { d.ftp.QuitAsync(); }), 0);
        ASSERT_TRUE(proxy.waitForEnd(session, 2s));
        EXPECT_EQ(proxy.received(session), bytes({5, 1, 0}) + kRequestTo21 + "USER brisk\r\nQUIT\r\n");
    }
    EXPECT_EQ(proxy.connectionCount(), 2u);
    EXPECT_EQ(d.ftp.ControlSocket().SocksServer(), "") << "the socket forgets; the engine writes it again";
}

TEST(FtpSocks, AUserCodeMakesTheEngineAuthenticate)
{
    ScriptedSocksPeer proxy(SocksScript()
                                .expect(3).reply(bytes({5, 2}))
                                .expect(9).reply(bytes({1, 0}))
                                .expect(kRequestTo21.size()).reply(kSocks5Granted + "220 ok\r\n"));
    EngineDriver d;
    useSocks(d, ftpSocks5, proxy.port());
    d.ftp.SetSocksUserCode("sock");
    d.ftp.SetSocksPassword("pw");
    ASSERT_EQ(d.run([&] { d.ftp.OpenAsync(); }), 0);
    EXPECT_EQ(proxy.received().substr(0, 12), bytes({5, 1, 2}) + bytes({1, 4}) + "sock" + bytes({2}) + "pw");
}

TEST(FtpSocks, ARefusalThroughSocksEndsTheOpenWithTheSocksCode)
{
    ScriptedSocksPeer proxy(SocksScript().expect(9).reply(bytes({0, 91, 0, 0, 0, 0, 0, 0})));
    EngineDriver d;
    useSocks(d, ftpSocks4, proxy.port());
    EXPECT_EQ(d.run([&] { d.ftp.OpenAsync(); }), 20016);
    EXPECT_EQ(d.ftp.ErrorMessage(), "500 Not a WinSock error (Winsock error #20016)");
    EXPECT_EQ(d.ftp.LastResponse(), d.ftp.ErrorMessage());
    EXPECT_EQ(d.ftp.StatusCode(), 500);
    EXPECT_FALSE(d.ftp.Connected());
    EXPECT_EQ(d.donesAfterSettling(), 1u);
    EXPECT_EQ(proxy.received(), bytes({4, 1, 0, 21, 127, 0, 0, 1, 0}));
}

TEST(FtpSocks, SettingsReachBothSocketsAndTheKindSetsLevelAndAuthentication)
{
    EngineDriver d;
    d.ftp.SetSocksServer("proxy.local");
    d.ftp.SetSocksPort("1080");
    d.ftp.SetSocksUserCode("u");
    d.ftp.SetSocksPassword("p");
    const std::pair<int, const char*> kinds[] = {{ftpSocks4, "4"}, {ftpSocks4A, "4A"}, {ftpSocks5, "5"}};
    for (const auto& [kind, level] : kinds) {
        d.ftp.SetConnectionType(kind);
        for (TWSocket* s : {&d.ftp.ControlSocket(), &d.ftp.DataSocket()}) {
            EXPECT_EQ(s->SocksServer() + ":" + s->SocksPort() + " " + s->SocksUsercode + "/" + s->SocksPassword,
                      "proxy.local:1080 u/p");
            EXPECT_EQ(s->SocksLevel(), level);
            EXPECT_EQ(s->SocksAuthentication, socksAuthenticateUsercode);
        }
        d.ftp.SetPassive(false);
        EXPECT_TRUE(d.ftp.Passive()) << "listening through SOCKS is not possible";
    }
    for (int kind : {ftpDirect, ftpProxy}) {
        d.ftp.SetConnectionType(kind);
        EXPECT_EQ(d.ftp.ControlSocket().SocksAuthentication, socksNoAuthentication);
        EXPECT_EQ(d.ftp.DataSocket().SocksAuthentication, socksNoAuthentication);
    }
    d.ftp.SetConnectionType(ftpSocks5);
    d.ftp.SetSocksUserCode("");
    EXPECT_EQ(d.ftp.ControlSocket().SocksAuthentication, socksNoAuthentication)
        << "offering only user name and password without a user name locks out open proxies";
}

TEST(FtpSocks, ADirectSessionIgnoresASocksServerLeftSet)
{
    ScriptedSocksPeer proxy{SocksScript()};
    ScriptedFtpPeer server("220 direct\r\n");
    EngineDriver d;
    d.ftp.SetSocksServer("127.0.0.1");
    d.ftp.SetSocksPort(std::to_string(proxy.port()));
    d.connectTo(server.port());
    ASSERT_EQ(d.run([&] { d.ftp.OpenAsync(); }), 0);
    EXPECT_TRUE(d.logged("< 220 direct"));
    EXPECT_EQ(proxy.connectionCount(), 0u);

    // Active mode listens: a SOCKS server left on the data socket must not refuse that.
    server.on("PORT", "200 ok\r\n");
    d.ftp.SetPassive(false);
    EXPECT_EQ(d.run([&] { d.ftp.PortAsync(); }), 0);
    EXPECT_EQ(server.lines(0).back().rfind("PORT 127,0,0,1,", 0), 0u);
}
