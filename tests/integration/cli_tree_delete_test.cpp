// rm -r: the window's delete chain, run without a window (its commands are asserted in
// tests/unit/session_delete_chain_test.cpp). Relative and absolute paths, links removed and never
// followed, and the exit status.
#include "cli_vsftpd_test.h"
#include "file_tree.h"
#include "temp_dir.h"
#include "tree_ftp_peer.h"

#include <gtest/gtest.h>

namespace brisk::test {
namespace {

using Strings = std::vector<std::string>;

class CliTreeDelete : public ::testing::Test {
protected:
    void SetUp() override
    {
        server.addFile("/home/t/a.txt");
        server.addLink("/home/t/www", "../public_html");
        server.addFile("/home/t/s/b.txt");
        server.addFile("/public_html/index.html");
        server.addFile("/u/c.txt");
        server.setHome("/home");
        server.peer().on("QUIT", "221 Bye.\r\n");
    }
    CommandResult rm(const Strings& trees)
    {
        Strings argv{BRISKLANE_CLI_PATH, cliUrl(server.port(), "brisk:pw@"), "rm", "-r"};
        argv.insert(argv.end(), trees.begin(), trees.end());
        return runCommand(argv, {}, std::chrono::seconds(60));
    }

    TreeFtpPeer server;
};

TEST_F(CliTreeDelete, RemovesEachTree)
{
    const CommandResult r = rm({"t", "/u"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(server.paths(), (Strings{"/", "/home", "/public_html", "/public_html/index.html"}));
}

TEST_F(CliTreeDelete, ExitStatus2WhenATreeIsNotRemovedAnd1WithoutOne)
{
    server.peer().onLine("RMD /home/t/s", "550 Permission denied.\r\n");
    CommandResult r = rm({"missing", "t", "/u"});
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_TRUE(contains(r.err, "missing: no such entry")) << r.err;
    EXPECT_TRUE(contains(r.err, "t: not removed")) << r.err;
    EXPECT_TRUE(server.exists("/home/t/s"));
    EXPECT_FALSE(server.exists("/u")) << "a failure does not keep the other trees";

    const size_t connections = server.peer().connectionCount();
    r = rm({});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(contains(r.err, "rm -r needs at least one directory")) << r.err;
    EXPECT_EQ(server.peer().connectionCount(), connections);
}

// A directory whose listing is refused keeps everything in it and the directory above it; its
// siblings and the other trees are still removed, and the closing lines name the failure.
TEST_F(CliTreeDelete, AnUnlistableDirectoryIsKeptAndNamedWhileTheRestGoes)
{
    server.failListing("/home/t/s", "550 Permission denied.\r\n");
    const CommandResult r = rm({"t", "/u"});
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_EQ(server.paths(), (Strings{"/", "/home", "/home/t", "/home/t/s", "/home/t/s/b.txt", "/public_html",
                                       "/public_html/index.html"}));
    EXPECT_TRUE(contains(r.err, "Delete finished: 2 deleted, 1 failed\nFailed: /home/t/s\n")) << r.err;
    EXPECT_TRUE(contains(r.err, "t: not removed")) << r.err;
}

// Names no command can carry (NUL, CR) end neither get -r nor rm -r in a stall: they are counted by
// name and the command ends with status 2, the rest done.
TEST_F(CliTreeDelete, NamesNoCommandCanCarryAreCountedNeverWaitedFor)
{
    server.addFile("/home/t/ok.txt", 2);
    server.setRawListing("/home/t", "-rw-r--r--   1 o g 2 Jan 01  2020 nul" + std::string(1, '\0') + "name\r\n"
                                    "-rw-r--r--   1 o g 2 Jan 01  2020 cr\rname\r\n"
                                    "-rw-r--r--   1 o g 2 Jan 01  2020 ok.txt\r\n");
    TempDir local;
    const CommandResult got = runCommand({BRISKLANE_CLI_PATH, cliUrl(server.port(), "brisk:pw@"), "get", "-r", "t",
                                          local.path().string()}, {}, std::chrono::seconds(60));
    EXPECT_EQ(got.exitCode, 2) << got.err;
    EXPECT_TRUE(contains(got.err, "Transfer finished: 1 transferred, 0 skipped, 2 failed\n"
                                  "Failed: /home/t/nul?name\nFailed: /home/t/cr?name\n")) << got.err;
    EXPECT_EQ(treeOf(local.path()), (std::map<std::string, std::string>{{"t", "<dir>"}, {"t/ok.txt", "xx"}}));

    const CommandResult removed = rm({"t"});
    EXPECT_EQ(removed.exitCode, 2) << removed.err;
    EXPECT_TRUE(contains(removed.err, "Failed: /home/t/nul?name\nFailed: /home/t/cr?name\n")) << removed.err;
    EXPECT_FALSE(server.exists("/home/t/ok.txt"));
    EXPECT_TRUE(server.exists("/home/t"));
}

} // namespace
} // namespace brisk::test
