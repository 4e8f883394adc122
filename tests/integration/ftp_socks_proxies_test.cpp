#include "byte_pattern.h"
#include "danted_server.h"
#include "engine_driver.h"
#include "file_io.h"
#include "temp_dir.h"
#include "ftp_users.h"
#include "microsocks_server.h"
#include "pump.h"
#include "pyftpd_server.h"
#include "real_server.h"
#include "twistd_socks_server.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

using namespace brisk;
using namespace brisk::test;

namespace {

// One real SOCKS server, whichever kind, with the credentials it wants and what its log tells.
struct SocksProxy {
    virtual ~SocksProxy() = default;
    virtual uint16_t port() const = 0;
    virtual size_t connectionsTo(uint16_t destPort) const = 0;
    virtual size_t totalConnections() const = 0;
    virtual std::string log() const = 0;
    std::string user, password;
};

template <typename Server>
struct ProxyOf : SocksProxy {
    template <typename... Args>
    explicit ProxyOf(Args... args) : server(args...) {}
    uint16_t port() const override { return server.port(); }
    size_t connectionsTo(uint16_t destPort) const override { return server.connectionsTo(destPort); }
    size_t totalConnections() const override { return server.connectionsToAnyPort(); }
    std::string log() const override { return server.logContents(); }
    Server server;
};

enum class Proxy { Danted, DantedAuth, Microsocks, Twistd };

std::optional<std::string> unavailable(Proxy proxy)
{
    switch (proxy) {
    case Proxy::Danted: return DantedServer::unavailableReason(DantedAuth::None);
    case Proxy::DantedAuth: return DantedServer::unavailableReason(DantedAuth::Username);
    case Proxy::Microsocks: return MicrosocksServer::unavailableReason();
    case Proxy::Twistd: return TwistdSocksServer::unavailableReason();
    }
    return std::nullopt;
}

std::unique_ptr<SocksProxy> startProxy(Proxy proxy)
{
    std::unique_ptr<SocksProxy> p;
    switch (proxy) {
    case Proxy::Danted: return std::make_unique<ProxyOf<DantedServer>>(DantedAuth::None);
    case Proxy::DantedAuth:
        p = std::make_unique<ProxyOf<DantedServer>>(DantedAuth::Username);
        p->user = kFtpUser;
        p->password = kFtpPassword;
        return p;
    case Proxy::Microsocks:
        p = std::make_unique<ProxyOf<MicrosocksServer>>();
        p->user = MicrosocksServer::kUser;
        p->password = MicrosocksServer::kPassword;
        return p;
    case Proxy::Twistd: return std::make_unique<ProxyOf<TwistdSocksServer>>();
    }
    return p;
}

struct ProxyCase {
    const char* name;
    Proxy proxy;
    TFtpConnectionType kind;
    const char* ftp;  // the real server behind the proxy
    const char* host;
};

// A session through a real proxy to a real FTP server. Transfers through the proxies build on the
// same fixture once the data connection exists.
class SocksSession : public ::testing::TestWithParam<ProxyCase> {
protected:
    void SetUp() override
    {
        const ProxyCase& c = GetParam();
        for (const auto& why : {unavailable(c.proxy), realServerUnavailable(c.ftp)})
            if (why)
                GTEST_SKIP() << *why;
        ftp = startRealServer(c.ftp);
        proxy = startProxy(c.proxy);
        d.ftp.SetConnectionType(c.kind);
        d.ftp.SetSocksServer("127.0.0.1");
        d.ftp.SetSocksPort(std::to_string(proxy->port()));
        d.ftp.SetSocksUserCode(proxy->user);
        d.ftp.SetSocksPassword(proxy->password);
        d.connectAsTestUser(ftp->port(), c.host);
    }

    // True once the proxy's log shows `count` connections to the FTP server.
    bool proxyReachedServer(size_t count = 1)
    {
        return pumpUntil([&] { return proxy->connectionsTo(ftp->port()) >= count; }, 30000);
    }

    std::unique_ptr<RealServer> ftp;
    std::unique_ptr<SocksProxy> proxy;
    EngineDriver d;
};

} // namespace

// The control connection and each of the three data connections go through the proxy.
TEST_P(SocksSession, LogsInListsAndTransfersBothWaysThroughTheProxy)
{
    ASSERT_EQ(d.run([&] { d.ftp.OpenAsync(); }), 0) << d.ftp.LastResponse() << "\n" << proxy->log();
    ASSERT_EQ(d.run([&] { d.ftp.UserAsync(); }), 0) << d.ftp.LastResponse();
    ASSERT_EQ(d.run([&] { d.ftp.PassAsync(); }), 0) << d.ftp.LastResponse();
    EXPECT_EQ(d.ftp.StatusCode(), 230);
    ASSERT_EQ(d.run([&] { d.ftp.PwdAsync(); }), 0);
    EXPECT_EQ(d.ftp.DirResult(), "/");
    ASSERT_EQ(d.run([&] { d.ftp.SystAsync(); }), 0);
    EXPECT_EQ(d.ftp.StatusCode(), 215);
    EXPECT_TRUE(proxyReachedServer()) << "proxy log:\n" << proxy->log();

    TempDir dir;
    const std::string data = bytePattern(1 << 20);
    writeFileBytes(dir.path() / "up.bin", data);
    ASSERT_TRUE(d.ftp.TypeBinary());
    d.ftp.LocalFileName = (dir.path() / "up.bin").string();
    d.ftp.HostFileName = "through proxy.bin";
    ASSERT_EQ(d.run([&] { d.ftp.PutAsync(); }), 0) << d.ftp.ErrorMessage();
    EXPECT_TRUE(readFileBytes(ftp->root() / "through proxy.bin") == data);
    d.ftp.LocalFileName = (dir.path() / "list.txt").string();
    d.ftp.HostFileName = "";
    ASSERT_EQ(d.run([&] { d.ftp.DirAsync(); }), 0) << d.ftp.ErrorMessage();
    EXPECT_NE(readFileBytes(dir.path() / "list.txt").find("through proxy.bin"), std::string::npos);
    d.ftp.LocalFileName = (dir.path() / "down.bin").string();
    d.ftp.HostFileName = "through proxy.bin";
    ASSERT_EQ(d.run([&] { d.ftp.GetAsync(); }), 0) << d.ftp.ErrorMessage();
    EXPECT_TRUE(readFileBytes(dir.path() / "down.bin") == data);
    EXPECT_TRUE(pumpUntil([&] { return proxy->totalConnections() >= 4; }, 30000)) << proxy->log();
    ASSERT_EQ(d.run([&] { d.ftp.QuitAsync(); }), 0);
}

INSTANTIATE_TEST_SUITE_P(Proxies, SocksSession, ::testing::Values(
    ProxyCase{"DantedSocks4Vsftpd", Proxy::Danted, ftpSocks4, "vsftpd", "127.0.0.1"},
    ProxyCase{"DantedSocks5Pyftpd", Proxy::Danted, ftpSocks5, "pyftpdlib", "127.0.0.1"},
    ProxyCase{"DantedSocks5UserPasswordVsftpd", Proxy::DantedAuth, ftpSocks5, "vsftpd", "127.0.0.1"},
    ProxyCase{"MicrosocksSocks5UserPasswordPyftpd", Proxy::Microsocks, ftpSocks5, "pyftpdlib", "127.0.0.1"},
    ProxyCase{"TwistdSocks4ALocalhostPyftpd", Proxy::Twistd, ftpSocks4A, "pyftpdlib", "localhost"},
    ProxyCase{"TwistdSocks4Vsftpd", Proxy::Twistd, ftpSocks4, "vsftpd", "127.0.0.1"}),
    [](const ::testing::TestParamInfo<ProxyCase>& info) { return std::string(info.param.name); });

// A wrong password, or none where one is wanted: the open fails with the proxy's code and the proxy
// never reaches the server.
TEST(SocksRefusals, EndTheOpenWithTheSocksCode)
{
    const struct {
        Proxy proxy;
        const char* user;
        const char* password;
        int code;
    } rows[] = {{Proxy::Microsocks, MicrosocksServer::kUser, "wrong", 20015}, {Proxy::DantedAuth, "", "", 20003}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.code);
        for (const auto& why : {unavailable(r.proxy), realServerUnavailable("pyftpdlib")})
            if (why)
                GTEST_SKIP() << *why;
        PyftpdServer ftp;
        const std::unique_ptr<SocksProxy> proxy = startProxy(r.proxy);
        EngineDriver d;
        d.ftp.SetConnectionType(ftpSocks5);
        d.ftp.SetSocksServer("127.0.0.1");
        d.ftp.SetSocksPort(std::to_string(proxy->port()));
        d.ftp.SetSocksUserCode(r.user);
        d.ftp.SetSocksPassword(r.password);
        d.connectTo(ftp.port());
        EXPECT_EQ(d.run([&] { d.ftp.OpenAsync(); }), r.code);
        EXPECT_EQ(d.ftp.LastResponse(), "500 Not a WinSock error (Winsock error #" + std::to_string(r.code) + ")");
        EXPECT_FALSE(d.ftp.Connected());
        EXPECT_EQ(proxy->connectionsTo(ftp.port()), 0u);
    }
}

// The engine hands the proxy the address it looked up; the socket itself sends a name to a 4A proxy.
TEST(SocksSocket, Socks4AHandsTheHostNameToTwistd)
{
    for (const auto& why : {TwistdSocksServer::unavailableReason(), PyftpdServer::unavailableReason()})
        if (why)
            GTEST_SKIP() << *why;
    PyftpdServer ftp;
    TwistdSocksServer proxy;
    TWSocket s;
    std::string banner;
    uint16_t connected = 1;
    s.OnSessionConnected = [&](TCustomWSocket*, uint16_t e) { connected = e; };
    s.OnDataAvailable = [&](TCustomWSocket* sock, uint16_t) { banner += sock->ReceiveStr(); };
    s.SetSocksServer("127.0.0.1");
    s.SetSocksPort(std::to_string(proxy.port()));
    s.SetSocksLevel("4A");
    s.SetAddr("localhost");
    s.SetPort(std::to_string(ftp.port()));
    s.Connect();
    ASSERT_TRUE(pumpUntil([&] { return banner.find('\n') != std::string::npos; }, 30000)) << proxy.logContents();
    EXPECT_EQ(connected, 0);
    EXPECT_EQ(banner.substr(0, 4), "220 ");
    EXPECT_TRUE(pumpUntil([&] { return proxy.connectionsTo(ftp.port()) == 1; }, 30000)) << proxy.logContents();
}

// The proxy on 127.0.0.1, the server on 127.0.0.2: a data connection asks the proxy for the server the
// session was opened to, never for the proxy's own address (the control connection's peer).
TEST(SocksDataConnections, GoToTheServerBehindTheProxy)
{
    struct Row {
        Proxy proxy;
        TFtpConnectionType kind;
    } rows[] = {{Proxy::Danted, ftpSocks4}, {Proxy::Danted, ftpSocks5}, {Proxy::Microsocks, ftpSocks5}};
    for (const Row& r : rows) {
        SCOPED_TRACE(int(r.kind));
        for (const auto& why : {unavailable(r.proxy), realServerUnavailable("pyftpdlib")})
            if (why)
                GTEST_SKIP() << *why;
        PyftpdOptions options;
        options.host = "127.0.0.2";
        PyftpdServer ftp(options);
        writeFileBytes(ftp.root() / "apart.bin", std::string(300000, 'a'));
        const std::unique_ptr<SocksProxy> proxy = startProxy(r.proxy);
        EngineDriver d;
        d.ftp.SetConnectionType(r.kind);
        d.ftp.SetSocksServer("127.0.0.1");
        d.ftp.SetSocksPort(std::to_string(proxy->port()));
        d.ftp.SetSocksUserCode(proxy->user);
        d.ftp.SetSocksPassword(proxy->password);
        d.connectTo(ftp.port(), "127.0.0.2");
        d.ftp.UserName = "brisk";
        d.ftp.PassWord = "brisk-pw";
        ASSERT_EQ(d.run([&] { d.ftp.ConnectAsync(); }), 0) << d.ftp.LastResponse() << "\n" << proxy->log();
        TempDir dir;
        d.ftp.HostFileName = "";
        d.ftp.LocalFileName = (dir.path() / "list.txt").string();
        ASSERT_EQ(d.run([&] { d.ftp.DirAsync(); }), 0) << d.ftp.ErrorMessage() << "\n" << proxy->log();
        EXPECT_NE(readFileBytes(dir.path() / "list.txt").find("apart.bin"), std::string::npos);
        d.ftp.HostFileName = "apart.bin";
        d.ftp.LocalFileName = (dir.path() / "apart.bin").string();
        ASSERT_EQ(d.run([&] { d.ftp.GetAsync(); }), 0) << d.ftp.ErrorMessage();
        EXPECT_EQ(readFileBytes(dir.path() / "apart.bin"), std::string(300000, 'a'));
    }
}
