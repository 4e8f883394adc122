#include "engine_driver.h"
#include "ftp_users.h"
#include "real_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

using namespace brisk;
using namespace brisk::test;
namespace fs = std::filesystem;

namespace {

class FtpControlServers : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override
    {
        if (auto why = realServerUnavailable(GetParam()))
            GTEST_SKIP() << *why;
        server = startRealServer(GetParam());
        d.connectAsTestUser(server->port());
    }

    std::unique_ptr<RealServer> server;
    EngineDriver d;
};


TEST_P(FtpControlServers, EveryPrimitiveAgainstARealServer)
{
    ASSERT_EQ(d.run([&] { d.ftp.OpenAsync(); }), 0);
    ASSERT_EQ(d.run([&] { d.ftp.UserAsync(); }), 0);
    ASSERT_EQ(d.ftp.StatusCode(), 331);
    ASSERT_EQ(d.run([&] { d.ftp.PassAsync(); }), 0);
    TFtpClient& f = d.ftp;
    EXPECT_EQ(d.run([&] { f.PwdAsync(); }), 0);
    EXPECT_EQ(f.DirResult(), "/");
    EXPECT_EQ(d.run([&] { f.SystAsync(); }), 0);
    EXPECT_EQ(f.StatusCode(), 215);

    f.HostFileName = "made here";
    EXPECT_EQ(d.run([&] { f.MkdAsync(); }), 0);
    // pure-ftpd names the new directory relative to the current one.
    EXPECT_EQ(f.DirResult(), GetParam() == "pure-ftpd" ? "made here" : "/made here");
    EXPECT_TRUE(fs::is_directory(server->root() / "made here"));
    f.HostDirName = "made here";
    EXPECT_TRUE(f.Cwd());
    EXPECT_EQ(d.run([&] { f.PwdAsync(); }), 0);
    EXPECT_EQ(f.DirResult(), "/made here");
    EXPECT_EQ(d.run([&] { f.CDupAsync(); }), 0);
    f.HostFileName = "made here";
    EXPECT_TRUE(f.Rmd());
    EXPECT_FALSE(fs::exists(server->root() / "made here"));

    server->putFile("data.bin", std::string(123457, 'd'));
    EXPECT_TRUE(f.TypeBinary()); // some servers refuse SIZE in ASCII mode
    f.HostFileName = "data.bin";
    EXPECT_EQ(d.run([&] { f.SizeAsync(); }), 0);
    EXPECT_EQ(f.SizeResult(), 123457);
    EXPECT_EQ(d.run([&] { f.RenFromAsync(); }), 0);
    f.LocalFileName = "renamed.bin";
    EXPECT_EQ(d.run([&] { f.RenToAsync(); }), 0);
    EXPECT_TRUE(fs::exists(server->root() / "renamed.bin"));
    f.HostFileName = "renamed.bin";
    EXPECT_EQ(d.run([&] { f.DeleAsync(); }), 0);
    EXPECT_FALSE(fs::exists(server->root() / "renamed.bin"));

    f.LocalFileName = "NOOP";
    EXPECT_EQ(d.run([&] { f.QuoteAsync(); }), 0);
    EXPECT_EQ(f.StatusCode(), 200);

    f.HostFileName = "missing.bin";
    EXPECT_EQ(d.run([&] { f.SizeAsync(); }), 550);
    EXPECT_EQ(d.dones.back().request, ftpSizeAsync);
    EXPECT_EQ(f.ErrorMessage().substr(0, 3), "550");
    f.HostDirName = "no such dir";
    EXPECT_FALSE(f.Cwd());
    EXPECT_EQ(f.StatusCode(), 550);

    EXPECT_EQ(d.run([&] { f.QuitAsync(); }), 0);
    EXPECT_EQ(d.dones.back().request, ftpQuitAsync);
    EXPECT_EQ(f.LastResponse().substr(0, 3), "221");
    EXPECT_FALSE(f.Connected());
    EXPECT_EQ(d.sessionClosed.size(), 1u);
    EXPECT_EQ(d.donesAfterSettling(), 19u) << "exactly one request-done per request";
}

INSTANTIATE_TEST_SUITE_P(Servers, FtpControlServers, ::testing::ValuesIn(realServerKinds()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(FtpControlLogin, AWrongPasswordEndsPassWith530)
{
    for (const std::string kind : {"pyftpdlib", "vsftpd"}) {
        SCOPED_TRACE(kind);
        if (auto why = realServerUnavailable(kind))
            GTEST_SKIP() << *why;
        auto server = startRealServer(kind);
        EngineDriver d;
        d.connectTo(server->port());
        d.ftp.UserName = kFtpUser;
        d.ftp.PassWord = "wrong";
        ASSERT_EQ(d.run([&] { d.ftp.OpenAsync(); }), 0);
        ASSERT_EQ(d.run([&] { d.ftp.UserAsync(); }), 0);
        EXPECT_EQ(d.run([&] { d.ftp.PassAsync(); }, 15000), 530);
        EXPECT_EQ(d.ftp.ErrorMessage().substr(0, 3), "530");
        EXPECT_EQ(d.dones.back().request, ftpPassAsync);
    }
}

} // namespace
