#include "engine_driver.h"
#include "scripted_ftp_peer.h"
#include "scripted_socks_peer.h"

#include <gtest/gtest.h>

#include <initializer_list>

using namespace brisk;
using namespace brisk::test;
using namespace std::chrono_literals;

namespace {

// The level-5 connect request for 127.0.0.1:21.
const std::string kRequestTo21 = bytes({5, 1, 0, 3, 9}) + "127.0.0.1" + bytes({0, 21});
const std::string kLevel5Ok = bytes({5, 0, 0, 1, 127, 0, 0, 1, 0, 21});

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
                                .expect(kRequestTo21.size()).reply(kLevel5Ok + "220 behind the proxy\r\n")
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
                                .expect(kRequestTo21.size()).reply(kLevel5Ok + "220 ok\r\n"));
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
    EXPECT_EQ(d.ftp.LastResponse(), "500 Not a WinSock error (Winsock error #20016)");
    EXPECT_EQ(d.ftp.ErrorMessage(), "500 Not a WinSock error (Winsock error #20016)");
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
            EXPECT_EQ(s->SocksServer(), "proxy.local");
            EXPECT_EQ(s->SocksPort(), "1080");
            EXPECT_EQ(s->SocksUsercode, "u");
            EXPECT_EQ(s->SocksPassword, "p");
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
