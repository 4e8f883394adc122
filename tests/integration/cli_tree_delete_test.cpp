// rm -r: the window's delete chain, run without a window (its commands are asserted in
// tests/unit/session_delete_chain_test.cpp). Relative and absolute paths, links removed and never
// followed, and the exit status.
#include "cli_vsftpd_test.h"
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

} // namespace
} // namespace brisk::test
