#include "curl_client.h"
#include "ftp_proxy_server.h"
#include "ftp_users.h"
#include "loopback_port.h"
#include "real_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

using namespace brisk::test;

namespace {

struct Case {
    std::string backend;
    FtpDataMode mode;
};

std::string caseName(const ::testing::TestParamInfo<Case>& info)
{
    return (info.param.backend == "vsftpd" ? std::string("Vsftpd") : std::string("Pyftpd"))
        + (info.param.mode == FtpDataMode::Passive ? "Passive" : "Active");
}

bool hasText(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class FtpProxyToBackend : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override
    {
        for (const auto& why : {FtpProxyServer::unavailableReason(), realServerUnavailable(GetParam().backend)})
            if (why)
                GTEST_SKIP() << *why;
        backend = startRealServer(GetParam().backend);
        backend->putFile("behind-proxy.txt", "through the proxy\n");
    }

    std::unique_ptr<RealServer> backend;
};

} // namespace

// A plain user goes to the default backend of a proxy that has one.
TEST_P(FtpProxyToBackend, MagicUserListsAndDownloadsFromTheBackend)
{
    FtpProxyServer proxy;
    const std::string user = FtpProxyServer::magicUser(kFtpUser, backend->port());
    const auto list = curlFtp(GetParam().mode, {ftpUrl(proxy.port(), user, kFtpPassword)});
    ASSERT_EQ(list.exitCode, 0) << list.err << "\nproxy log:\n" << proxy.logContents();
    EXPECT_TRUE(hasText(list.out, "behind-proxy.txt")) << list.out;
    const auto get = curlFtp(GetParam().mode, {ftpUrl(proxy.port(), user, kFtpPassword, "/behind-proxy.txt")});
    EXPECT_EQ(get.out, "through the proxy\n") << get.err;

    const std::string log = proxy.logContents();
    EXPECT_TRUE(hasText(log, "dest 127.0.0.1:" + std::to_string(backend->port()))) << log;
    if (GetParam().mode == FtpDataMode::Passive)
        EXPECT_TRUE(hasText(log, "PASV set to 127.0.0.1:")) << log;
    else
        EXPECT_TRUE(hasText(log, "'PORT 127.0.0.1:")) << log;
    EXPECT_TRUE(hasText(backend->logContents(), "behind-proxy.txt")) << backend->logContents();

    FtpProxyServer withDefault(backend->port());
    const auto plain = curlFtp(GetParam().mode, {ftpUrl(withDefault.port(), kFtpUser, kFtpPassword)});
    ASSERT_EQ(plain.exitCode, 0) << plain.err << "\nproxy log:\n" << withDefault.logContents();
    EXPECT_TRUE(hasText(plain.out, "behind-proxy.txt")) << plain.out;
}

INSTANTIATE_TEST_SUITE_P(Backends, FtpProxyToBackend,
                         ::testing::Values(Case{"vsftpd", FtpDataMode::Passive}, Case{"vsftpd", FtpDataMode::Active},
                                           Case{"pyftpdlib", FtpDataMode::Passive},
                                           Case{"pyftpdlib", FtpDataMode::Active}),
                         caseName);

TEST(FtpProxyServer, UnreachableBackendClosesTheSessionPromptly)
{
    if (auto why = FtpProxyServer::unavailableReason())
        GTEST_SKIP() << *why;
    FtpProxyServer proxy;
    const uint16_t nobodyListens = pickFreeLoopbackPort();
    const auto started = std::chrono::steady_clock::now();
    const auto r = curlFtp(FtpDataMode::Passive,
                           {ftpUrl(proxy.port(), FtpProxyServer::magicUser(kFtpUser, nobodyListens), kFtpPassword)});
    EXPECT_NE(r.exitCode, 0) << r.out;
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}
