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

void useProxy(EngineDriver& d, TFtpConnectionType kind, const SocksProxy& proxy)
{
    d.ftp.SetConnectionType(kind);
    d.ftp.SetSocksServer("127.0.0.1");
    d.ftp.SetSocksPort(std::to_string(proxy.port()));
    d.ftp.SetSocksUserCode(proxy.user);
    d.ftp.SetSocksPassword(proxy.password);
}

struct ProxyCase {
    const char* name;
    Proxy proxy;
    TFtpConnectionType kind;
    const char* ftp; // the real server behind the proxy
    const char* host;
};

// A session through a real proxy to a real FTP server. A pyftpdlib on 127.0.0.2, apart from the proxy
// on 127.0.0.1, shows that data connections ask the proxy for the server the session was opened to,
// never for the proxy's own address (the control connection's peer).
class SocksSession : public ::testing::TestWithParam<ProxyCase> {
protected:
    void SetUp() override
    {
        const ProxyCase& c = GetParam();
        for (const auto& why : {unavailable(c.proxy), realServerUnavailable(c.ftp)})
            if (why)
                GTEST_SKIP() << *why;
        if (std::string(c.host) == "127.0.0.2") {
            PyftpdOptions options;
            options.host = c.host;
            apart = std::make_unique<PyftpdServer>(options);
        } else {
            ftp = startRealServer(c.ftp);
        }
        proxy = startProxy(c.proxy);
        useProxy(d, c.kind, *proxy);
        d.connectAsTestUser(ftpPort(), c.host);
    }
    uint16_t ftpPort() const { return apart ? apart->port() : ftp->port(); }
    std::filesystem::path ftpRoot() const { return apart ? apart->root() : ftp->root(); }

    std::unique_ptr<RealServer> ftp;
    std::unique_ptr<PyftpdServer> apart;
    std::unique_ptr<SocksProxy> proxy;
    EngineDriver d;
};


// The control connection and each of the three data connections go through the proxy.
TEST_P(SocksSession, LogsInListsAndTransfersBothWaysThroughTheProxy)
{
    ASSERT_EQ(d.run([&] { d.ftp.ConnectAsync(); }), 0) << d.ftp.LastResponse() << "\n" << proxy->log();
    TempDir dir;
    const std::string data = bytePattern(1 << 20);
    writeFileBytes(dir.path() / "up.bin", data);
    ASSERT_TRUE(d.ftp.TypeBinary());
    d.ftp.LocalFileName = (dir.path() / "up.bin").string();
    d.ftp.HostFileName = "through proxy.bin";
    ASSERT_EQ(d.run([&] { d.ftp.PutAsync(); }), 0) << d.ftp.ErrorMessage() << "\n" << proxy->log();
    EXPECT_TRUE(readFileBytes(ftpRoot() / "through proxy.bin") == data);
    d.ftp.LocalFileName = (dir.path() / "list.txt").string();
    d.ftp.HostFileName = "";
    ASSERT_EQ(d.run([&] { d.ftp.DirAsync(); }), 0) << d.ftp.ErrorMessage();
    EXPECT_NE(readFileBytes(dir.path() / "list.txt").find("through proxy.bin"), std::string::npos);
    d.ftp.LocalFileName = (dir.path() / "down.bin").string();
    d.ftp.HostFileName = "through proxy.bin";
    ASSERT_EQ(d.run([&] { d.ftp.GetAsync(); }), 0) << d.ftp.ErrorMessage();
    EXPECT_TRUE(readFileBytes(dir.path() / "down.bin") == data);
    if (!apart) { // the harness counts a proxy's connections to 127.0.0.1 only
        EXPECT_TRUE(pumpUntil([&] { return proxy->connectionsTo(ftpPort()) >= 1; })) << proxy->log();
        EXPECT_TRUE(pumpUntil([&] { return proxy->totalConnections() >= 4; })) << proxy->log();
    }
    ASSERT_EQ(d.run([&] { d.ftp.QuitAsync(); }), 0);
}

INSTANTIATE_TEST_SUITE_P(Proxies, SocksSession, ::testing::Values(
    ProxyCase{"DantedSocks4PyftpdApart", Proxy::Danted, ftpSocks4, "pyftpdlib", "127.0.0.2"},
    ProxyCase{"DantedSocks5PyftpdApart", Proxy::Danted, ftpSocks5, "pyftpdlib", "127.0.0.2"},
    ProxyCase{"DantedSocks5UserPasswordVsftpd", Proxy::DantedAuth, ftpSocks5, "vsftpd", "127.0.0.1"},
    ProxyCase{"MicrosocksSocks5UserPasswordPyftpd", Proxy::Microsocks, ftpSocks5, "pyftpdlib", "127.0.0.1"},
    ProxyCase{"MicrosocksSocks5UserPasswordPyftpdApart", Proxy::Microsocks, ftpSocks5, "pyftpdlib", "127.0.0.2"},
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
        std::unique_ptr<SocksProxy> proxy = startProxy(r.proxy);
        proxy->user = r.user;
        proxy->password = r.password;
        EngineDriver d;
        useProxy(d, ftpSocks5, *proxy);
        d.connectTo(ftp.port());
        EXPECT_EQ(d.run([&] { d.ftp.OpenAsync(); }), r.code);
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
    ASSERT_TRUE(pumpUntil([&] { return banner.find('\n') != std::string::npos; })) << proxy.logContents();
    EXPECT_EQ(connected, 0);
    EXPECT_EQ(banner.substr(0, 4), "220 ");
    EXPECT_TRUE(pumpUntil([&] { return proxy.connectionsTo(ftp.port()) == 1; })) << proxy.logContents();
}

} // namespace
