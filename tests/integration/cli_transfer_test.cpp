#include "byte_pattern.h"
#include "cli_vsftpd_test.h"
#include "file_io.h"
#include "pyftpd_server.h"
#include "site_fixtures.h"
#include "sites/site_list.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace brisk;
using namespace brisk::test;
namespace fs = std::filesystem;

namespace {

class CliTransfer : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (auto why = PyftpdServer::unavailableReason())
            GTEST_SKIP() << *why;
        server = std::make_unique<PyftpdServer>();
        url = cliUrl(server->port());
    }
    std::string local(const std::string& name) const { return (dir.path() / name).string(); }
    fs::path remote(const std::string& name) const { return server->root() / name; }

    std::unique_ptr<PyftpdServer> server;
    std::string url;
    TempDir dir;
};

TEST_F(CliTransfer, PutGetAppendAndResumeInBothModes)
{
    for (const std::string mode : {"--active", "-v"}) {
        SCOPED_TRACE(mode);
        const std::string data = bytePattern(2 << 20);
        writeFileBytes(local("up.bin"), data);
        CommandResult r = runCli({mode, url, "put", local("up.bin"), "up.bin"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(readFileBytes(remote("up.bin")) == data);
        r = runCli({mode, url, "get", "up.bin", local("down.bin")});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(readFileBytes(local("down.bin")) == data);

        writeFileBytes(local("down.bin"), data.substr(0, 777777));
        r = runCli({mode, "--resume", url, "get", "up.bin", local("down.bin")});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(readFileBytes(local("down.bin")) == data);
        if (mode == "-v") {
            EXPECT_NE(r.err.find("> REST 777777"), std::string::npos) << r.err;
        }

        writeFileBytes(remote("up.bin"), data.substr(0, 123456));
        r = runCli({mode, "--resume", url, "put", local("up.bin"), "up.bin"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(readFileBytes(remote("up.bin")) == data);

        writeFileBytes(local("tail"), "tail");
        r = runCli({mode, url, "append", local("tail"), "up.bin"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(readFileBytes(remote("up.bin")) == data + "tail");
    }
}

TEST_F(CliTransfer, ListingsAndFileCommands)
{
    writeFileBytes(remote("a file.txt"), "12345");
    writeFileBytes(remote(".hidden"), "h");
    CommandResult r = runCli({url, "ls"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find(" a file.txt\r\n"), std::string::npos) << r.out;
    r = runCli({url, "nlst"});
    EXPECT_EQ(r.out.find("a file.txt\r\n") != std::string::npos, true) << r.out;
    r = runCli({url, "ls", "--parse", "--date-today", "2030-01-01"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("1\ta file.txt\t5\t"), std::string::npos) << r.out;

    EXPECT_EQ(runCli({url, "mkdir", "new dir"}).exitCode, 0);
    EXPECT_TRUE(fs::is_directory(remote("new dir")));
    EXPECT_EQ(runCli({url + "/new%20dir", "pwd"}).out, "/new dir\n");
    EXPECT_EQ(runCli({url, "rmdir", "new dir"}).exitCode, 0);
    EXPECT_FALSE(fs::exists(remote("new dir")));
    EXPECT_EQ(runCli({url, "mv", "a file.txt", "b.txt"}).exitCode, 0);
    EXPECT_TRUE(fs::exists(remote("b.txt")));
    r = runCli({url, "size", "b.txt"});
    EXPECT_EQ(r.out, "5\n") << r.err;
    EXPECT_EQ(runCli({url, "rm", "b.txt"}).exitCode, 0);
    EXPECT_FALSE(fs::exists(remote("b.txt")));

    r = runCli({url, "get", "missing.bin", local("m")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("GetAsync failed: error 550"), std::string::npos) << r.err;
    EXPECT_EQ(runCli({url, "get"}).exitCode, 1);
    EXPECT_EQ(runCli({url, "mv", "x"}).exitCode, 1);
}

// Stored sites are listed and resolved in sites_command_test.cpp; here they log in.
TEST_F(CliTransfer, StoredSitesOpen)
{
    const TempDir home;
    setenv("BRISKLANE_HOME", (home.path().string() + "/").c_str(), 1);

    SiteList sites{SiteDefaults{}};
    ASSERT_TRUE(sites.LoadSiteList(""));
    TFTPServerInfo site = newDefaultSite();
    site.Name = "Local test";
    site.Server = "127.0.0.1";
    site.Port = std::to_string(server->port());
    site.User = kFtpUser;
    site.Password = kFtpPassword;
    site.SavePassword = 1;
    site.Pasv = 1;
    size_t index = 0;
    ASSERT_TRUE(sites.addSite(site, index).ok());
    site.Name = "Asks";
    site.SavePassword = 0;
    site.Password = "";
    ASSERT_TRUE(sites.addSite(site, index).ok());

    writeFileBytes(server->root() / "stored.txt", "via a stored site");
    CommandResult r = runCli({"@Local test", "get", "stored.txt", local("stored.txt")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readFileBytes(local("stored.txt")), "via a stored site");
    r = runCli({"-v", "@Asks", "pwd"}, std::string(kFtpPassword) + "\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "/\n");
    EXPECT_NE(r.err.find("> PASS (hidden)"), std::string::npos);
    EXPECT_EQ(runCli({"@Nobody", "pwd"}).exitCode, 1);
}

} // namespace
