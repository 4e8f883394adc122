#include "byte_pattern.h"
#include "cli_vsftpd_test.h"
#include "file_io.h"
#include "file_tree.h"
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
    CommandResult cli(const std::vector<std::string>& args, int status = 0, const std::string& input = {})
    {
        CommandResult r = runCli(args, input);
        EXPECT_EQ(r.exitCode, status) << r.err;
        return r;
    }
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
        cli({mode, url, "put", local("up.bin"), "up.bin"});
        EXPECT_TRUE(readFileBytes(remote("up.bin")) == data);
        cli({mode, url, "get", "up.bin", local("down.bin")});
        EXPECT_TRUE(readFileBytes(local("down.bin")) == data);

        // A download cut short leaves its bytes in the part file, which a resume continues.
        writeFileBytes(local("down.bin.part"), data.substr(0, 777777));
        const CommandResult r = cli({mode, "--resume", url, "get", "up.bin", local("down.bin")});
        EXPECT_TRUE(readFileBytes(local("down.bin")) == data);
        EXPECT_FALSE(fs::exists(local("down.bin.part")));
        EXPECT_EQ(r.err.find("> REST 777777") != std::string::npos, mode == "-v") << r.err;

        writeFileBytes(remote("up.bin"), data.substr(0, 123456));
        cli({mode, "--resume", url, "put", local("up.bin"), "up.bin"});
        EXPECT_TRUE(readFileBytes(remote("up.bin")) == data);

        writeFileBytes(local("tail"), "tail");
        cli({mode, url, "append", local("tail"), "up.bin"});
        EXPECT_TRUE(readFileBytes(remote("up.bin")) == data + "tail");
    }
}

// A part file is continued only with --if-exists resume (or --resume); without it the whole file
// comes again, and skip leaves an existing target alone. Nothing else in the directory changes.
TEST_F(CliTransfer, ResumeAndSkipOnlyWhenAsked)
{
    const std::string data = bytePattern(300000, 5);
    writeFileBytes(remote("f.bin"), data);
    writeFileBytes(local("other.txt"), "untouched");
    const struct {
        const char* name;
        std::vector<std::string> flags;
        const char* target;        // before; nullptr: none
        bool part;                 // a.bin.part holds the first 1000 bytes before
        const char* sent;          // a command the dialogue holds
        const char* notSent;       // and one it does not
        std::string after;         // a.bin afterwards
    } rows[] = {
        {"default", {}, "old", true, "> RETR f.bin", "> REST", data},
        {"resume", {"--if-exists", "resume"}, "old", true, "> REST 1000", "not resumed", data},
        {"resume without part", {"--if-exists", "resume"}, "old", false, "not resumed, the whole file", "> REST", data},
        {"skip", {"--if-exists", "skip"}, "old", true, "exists: skipped", "> RETR", "old"},
        {"skip without target", {"--if-exists", "skip"}, nullptr, false, "> RETR f.bin", "skipped", data},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        fs::remove(local("a.bin"));
        if (r.target)
            writeFileBytes(local("a.bin"), r.target);
        if (r.part)
            writeFileBytes(local("a.bin.part"), data.substr(0, 1000));
        std::vector<std::string> args = {"-v"};
        args.insert(args.end(), r.flags.begin(), r.flags.end());
        args.insert(args.end(), {url, "get", "f.bin", local("a.bin")});
        const CommandResult result = cli(args);
        EXPECT_TRUE(contains(result.err, r.sent)) << result.err;
        EXPECT_FALSE(contains(result.err, r.notSent)) << result.err;
        std::map<std::string, std::string> expected{{"a.bin", r.after}, {"other.txt", "untouched"}};
        if (r.part && r.after == "old")
            expected["a.bin.part"] = data.substr(0, 1000);
        EXPECT_EQ(treeOf(dir.path()), expected);
        fs::remove(local("a.bin.part"));
    }
    EXPECT_EQ(readFileBytes(remote("f.bin")), data);
}

// The target, or its part file, is a link to a file outside the directory: the download replaces the
// link (or fails), and the file it points to keeps its bytes.
TEST_F(CliTransfer, DownloadsNeverWriteThroughALink)
{
    writeFileBytes(remote("f.bin"), "new contents");
    const TempDir outside;
    const fs::path precious = outside.path() / "precious.txt";
    for (const char* linked : {"x", "x.part"}) {
        SCOPED_TRACE(linked);
        writeFileBytes(precious, "precious");
        fs::remove_all(dir.path());
        fs::create_directories(dir.path());
        fs::create_symlink(precious, local(linked));
        const bool viaPart = std::string(linked) == "x.part";
        cli({url, "get", "f.bin", local("x")}, viaPart ? 2 : 0);
        EXPECT_EQ(treeOf(outside.path()), (std::map<std::string, std::string>{{"precious.txt", "precious"}}));
        if (viaPart) {
            EXPECT_TRUE(fs::is_symlink(local("x.part")));
            EXPECT_FALSE(fs::exists(fs::symlink_status(local("x"))));
        } else {
            EXPECT_FALSE(fs::is_symlink(local("x")));
            EXPECT_EQ(treeOf(dir.path()), (std::map<std::string, std::string>{{"x", "new contents"}}));
        }
    }
}

TEST_F(CliTransfer, ListingsAndFileCommands)
{
    writeFileBytes(remote("a file.txt"), "12345");
    writeFileBytes(remote(".hidden"), "h");
    EXPECT_TRUE(contains(cli({url, "ls"}).out, " a file.txt\r\n"));
    EXPECT_TRUE(contains(cli({url, "nlst"}).out, "a file.txt\r\n"));
    EXPECT_TRUE(contains(cli({url, "ls", "--parse", "--date-today", "2030-01-01"}).out, "1\ta file.txt\t5\t"));

    cli({url, "mkdir", "new dir"});
    EXPECT_TRUE(fs::is_directory(remote("new dir")));
    EXPECT_EQ(cli({url + "/new%20dir", "pwd"}).out, "/new dir\n");
    cli({url, "rmdir", "new dir"});
    EXPECT_FALSE(fs::exists(remote("new dir")));
    cli({url, "mv", "a file.txt", "b.txt"});
    EXPECT_TRUE(fs::exists(remote("b.txt")));
    EXPECT_EQ(cli({url, "size", "b.txt"}).out, "5\n");
    cli({url, "rm", "b.txt"});
    EXPECT_FALSE(fs::exists(remote("b.txt")));

    EXPECT_TRUE(contains(cli({url, "get", "missing.bin", local("m")}, 2).err, "GetAsync failed: error 550"));
    cli({url, "get"}, 1);
    cli({url, "mv", "x"}, 1);
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
    cli({"@Local test", "get", "stored.txt", local("stored.txt")});
    EXPECT_EQ(readFileBytes(local("stored.txt")), "via a stored site");
    const CommandResult r = cli({"-v", "@Asks", "pwd"}, 0, std::string(kFtpPassword) + "\n");
    EXPECT_EQ(r.out, "/\n");
    EXPECT_TRUE(contains(r.err, "> PASS (hidden)"));
    cli({"@Nobody", "pwd"}, 1);
}

} // namespace
