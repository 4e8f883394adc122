#include "command_runner.h"
#include "file_io.h"
#include "ftp_users.h"
#include "microsocks_server.h"
#include "server_tls.h"
#include "temp_dir.h"
#include "temp_home.h"
#include "vsftpd_server.h"

#include <gtest/gtest.h>

using namespace brisk::test;

namespace {

class CliTls : public TempHomeTest {};

TEST_F(CliTls, FtpesAcceptsOnlyTheNamedCertificateAndRunsThroughSocks)
{
    for (const auto& why : {VsftpdServer::unavailableReason(), MicrosocksServer::unavailableReason()})
        if (why)
            GTEST_SKIP() << *why;
    TempDir dir;
    const ServerTls tls = makeServerTls(dir.path() / "tls");
    VsftpdServer server(tls);
    MicrosocksServer socks;
    const std::string url = std::string("ftpes://") + kFtpUser + ":" + kFtpPassword + "@127.0.0.1:" +
                            std::to_string(server.port());
    const std::string data(3 << 20, 't');
    writeFileBytes(dir.path() / "up.bin", data);

    CommandResult r = runCli({url, "ls"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("is not trusted: self-signed certificate"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--trust " + tls.fingerprint), std::string::npos) << r.err;

    r = runCli({"--trust", tls.fingerprint, url, "put", (dir.path() / "up.bin").string(), "up.bin"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(readFileBytes(server.dataDir() / "up.bin") == data);

    r = runCli({"--insecure", "--socks5", "127.0.0.1:" + std::to_string(socks.port()), "--socks-user",
                MicrosocksServer::kUser, "--socks-pass", MicrosocksServer::kPassword, url, "get", "up.bin",
                (dir.path() / "down.bin").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(readFileBytes(dir.path() / "down.bin") == data);
    EXPECT_GE(socks.connectionsTo(server.port()), 1u);

    EXPECT_EQ(runCli({"--tls", "off", url, "ls"}).exitCode, 1);
}

TEST_F(CliTls, RequiredAgainstAPlainServerFailsWithoutSendingThePassword)
{
    if (auto why = VsftpdServer::unavailableReason())
        GTEST_SKIP() << *why;
    VsftpdServer server;
    const std::string url = std::string("ftp://") + kFtpUser + ":" + kFtpPassword + "@127.0.0.1:" +
                            std::to_string(server.port());
    const CommandResult r = runCli({"-v", "--tls", "required", url, "ls"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("TLS is required, but the server refused it"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("> AUTH TLS"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("> USER"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("> PASS"), std::string::npos) << r.err;
    EXPECT_EQ(server.logContents().find("\"USER "), std::string::npos);
}

} // namespace
