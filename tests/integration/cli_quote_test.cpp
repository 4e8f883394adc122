// quote: each reply printed as it comes, control bytes made harmless, and the exit status.
#include "cli_vsftpd_test.h"
#include "pyftpd_server.h"
#include "scripted_ftp_peer.h"

#include <gtest/gtest.h>

using namespace brisk::test;

TEST(CliQuote, PrintsEachReplyHidesThePasswordAndStopsAtAFailure)
{
    if (auto why = PyftpdServer::unavailableReason())
        GTEST_SKIP() << *why;
    PyftpdServer server;
    CommandResult r = runCli({"-v", cliUrl(server.port()), "quote", "PWD", "NOOP", "TYPE I"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "257 \"/\" is the current directory.\n200 I successfully did nothing'.\n200 Type set to: Binary.\n");
    EXPECT_TRUE(contains(r.err, "> USER brisk\n< 331 Username ok, send password.\n> PASS (hidden)\n< 230")) << r.err;
    EXPECT_FALSE(contains(r.err, "brisk-pw"));
    EXPECT_TRUE(contains(r.err, "> QUIT\n< 221")) << r.err;

    r = runCli({cliUrl(server.port()), "quote", "XYZZY", "NOOP"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out.substr(0, 4), "500 ");
    EXPECT_FALSE(contains(r.out, "200")) << "nothing runs after the failure";
    EXPECT_TRUE(contains(r.err, "error 500: 500 ")) << r.err;

    r = runCli({cliUrl(server.port(), "brisk:nope@"), "quote", "PWD"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(contains(r.err, "PassAsync failed: error 530")) << r.err;
}

// A multi-line reply is printed whole; control bytes never reach the terminal, and the judging
// stays on the last line.
TEST(CliQuote, PrintsEveryLineOfAMultiLineReplyWithControlBytesAsQuestionMarks)
{
    ScriptedFtpPeer peer("220 hi\r\n");
    peer.on("USER", "230 in\r\n");
    peer.on("STAT", "211-st\x1b]0;owned\x07" "atus\r\n 550 not the end\r\n211 End\r\n");
    const CommandResult r = runCli({"-v", cliUrl(peer.port(), "u:p@"), "quote", "STAT"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "211-st?]0;owned?atus\n 550 not the end\n211 End\n");
    EXPECT_TRUE(contains(r.err, "< 211-st?]0;owned?atus\n")) << r.err;
    EXPECT_FALSE(contains(r.err, "\x1b"));
}

TEST(CliQuote, AnonymousLoginAndInitialDirectory)
{
    if (auto why = VsftpdServer::unavailableReason())
        GTEST_SKIP() << *why;
    VsftpdServer server;
    const CommandResult r = runCli({cliUrl(server.port(), "") + "/pub", "quote", "PWD"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "257 \"/pub\" is the current directory\n");
}

TEST(CliQuote, ASilentServerTimesOutWith426)
{
    ScriptedFtpPeer peer("220 hi\r\n");
    peer.on("USER", "230 in\r\n");
    peer.on("PWD", ScriptedFtpPeer::silence());
    const CommandResult r = runCli({"--timeout", "1", cliUrl(peer.port(), "u:p@"), "quote", "PWD"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(contains(r.err, "426 Timeout")) << r.err;
    EXPECT_EQ(peer.lines(0), (std::vector<std::string>{"USER u", "PWD"})) << "230 to USER: no PASS";
}

TEST(CliQuote, UsageErrorsExitWith1)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"ftp://h"}, {"http://h", "quote", "PWD"}, {"ftp://h", "quote"}, {"ftp://h", "dance"},
             {"--timeout", "x", "ftp://h", "quote", "PWD"}, {"-q", "ftp://h", "quote", "PWD"}}) {
        const CommandResult r = runCli(args);
        EXPECT_EQ(r.exitCode, 1) << r.err;
        EXPECT_TRUE(contains(r.err, "usage: brisklane-cli"));
    }
}
