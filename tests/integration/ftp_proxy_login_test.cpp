#include "engine_driver.h"
#include "file_io.h"
#include "ftp_proxy_server.h"
#include "ftp_users.h"
#include "temp_dir.h"
#include "vsftpd_server.h"

#include <gtest/gtest.h>

using namespace brisk;
using namespace brisk::test;

class FtpProxyLogin : public ::testing::TestWithParam<bool> {};

TEST_P(FtpProxyLogin, LogsInListsAndTransfersThroughTheProxy)
{
    for (const auto& why : {FtpProxyServer::unavailableReason(), VsftpdServer::unavailableReason()})
        if (why)
            GTEST_SKIP() << *why;
    VsftpdServer server;
    FtpProxyServer proxy;
    TempDir dir;
    EngineDriver d;
    const bool passive = GetParam();
    if (passive) {
        d.ftp.SetConnectionType(ftpProxy); // always passive
        d.ftp.ProxyServer = "127.0.0.1";
        d.ftp.ProxyPort = std::to_string(proxy.port());
        d.ftp.HostName = "127.0.0.1";
        d.ftp.Port = std::to_string(server.port());
        d.ftp.UserName = kFtpUser;
    } else {
        // Active mode through the proxy: a direct session to it with the login form in the user name,
        // as a firewall setting builds it.
        d.ftp.SetPassive(false);
        d.connectTo(proxy.port());
        d.ftp.UserName = FtpProxyServer::magicUser(kFtpUser, server.port());
    }
    d.ftp.PassWord = kFtpPassword;
    ASSERT_EQ(d.run([&] { d.ftp.ConnectAsync(); }), 0) << d.ftp.ErrorMessage() << proxy.output();
    EXPECT_TRUE(d.logged("> USER " + std::string(kFtpUser) + "@127.0.0.1:" + std::to_string(server.port())));

    const std::string data(300000, 'p');
    server.writeDataFile("via proxy.bin", data);
    ASSERT_TRUE(d.ftp.TypeBinary());
    d.ftp.HostFileName = "";
    d.ftp.LocalFileName = (dir.path() / "list").string();
    ASSERT_EQ(d.run([&] { d.ftp.DirAsync(); }), 0) << d.ftp.ErrorMessage();
    EXPECT_NE(readFileBytes(dir.path() / "list").find("via proxy.bin"), std::string::npos);
    d.ftp.HostFileName = "via proxy.bin";
    d.ftp.LocalFileName = (dir.path() / "got").string();
    ASSERT_EQ(d.run([&] { d.ftp.GetAsync(); }), 0) << d.ftp.ErrorMessage();
    EXPECT_TRUE(readFileBytes(dir.path() / "got") == data);
    d.ftp.HostFileName = "back.bin";
    ASSERT_EQ(d.run([&] { d.ftp.PutAsync(); }), 0) << d.ftp.ErrorMessage();
    EXPECT_TRUE(readFileBytes(server.dataDir() / "back.bin") == data);
    EXPECT_NE(proxy.logContents().find("dest 127.0.0.1:" + std::to_string(server.port())), std::string::npos)
        << proxy.logContents();
    EXPECT_NE(proxy.logContents().find(passive ? "PASV" : "PORT"), std::string::npos) << proxy.logContents();
}

INSTANTIATE_TEST_SUITE_P(Modes, FtpProxyLogin, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Passive" : "Active"; });
