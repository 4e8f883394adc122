#include "command_runner.h"
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
    CommandResult cli(const Strings& args)
    {
        Strings argv{BRISKLANE_CLI_PATH, "ftp://brisk:pw@127.0.0.1:" + std::to_string(server.port())};
        argv.insert(argv.end(), args.begin(), args.end());
        return runCommand(argv, {}, std::chrono::seconds(60));
    }
    // What the tool sent after logging in, without the data connection's commands and TYPE.
    Strings treeCommands()
    {
        Strings out;
        for (const std::string& line : server.peer().lines())
            if (line != "PASV" && line.rfind("TYPE", 0) != 0 && line.rfind("USER", 0) != 0 &&
                line.rfind("PASS", 0) != 0 && line != "SYST")
                out.push_back(line);
        return out;
    }

    TreeFtpPeer server;
};

// The window's delete chain, run without a window: relative and absolute paths, links removed
// and never followed.
TEST_F(CliTreeDelete, RemovesEachTreeWithTheDeleteChain)
{
    const CommandResult r = cli({"rm", "-r", "t", "/u"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(server.paths(), (Strings{"/", "/home", "/public_html", "/public_html/index.html"}));
    EXPECT_EQ(treeCommands(),
              (Strings{"FEAT", "PWD", "LIST", "CWD /home/t", "LIST", "DELE a.txt", "DELE www", "CWD /home/t/s",
                       "LIST", "DELE b.txt", "CDUP", "RMD /home/t/s", "CDUP", "RMD /home/t", "CWD /home/", "LIST",
                       "CWD /", "LIST", "CWD /u", "LIST", "DELE c.txt", "CDUP", "RMD /u", "CWD /", "LIST"}));
}

TEST_F(CliTreeDelete, ExitStatus2WhenATreeIsNotRemoved)
{
    server.peer().onLine("RMD /home/t/s", "550 Permission denied.\r\n");
    const CommandResult r = cli({"rm", "-r", "missing", "t", "/u"});
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_NE(r.err.find("missing: no such entry"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("t: not removed"), std::string::npos) << r.err;
    EXPECT_TRUE(server.exists("/home/t/s"));
    EXPECT_FALSE(server.exists("/u")) << "a failure does not keep the other trees";
}

TEST_F(CliTreeDelete, NeedsADirectory)
{
    const CommandResult r = cli({"rm", "-r"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("rm -r needs at least one directory"), std::string::npos) << r.err;
    EXPECT_EQ(server.peer().connectionCount(), 0u);
}

} // namespace
} // namespace brisk::test
