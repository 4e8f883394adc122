#include "command_runner.h"
#include "ftp_users.h"
#include "pyftpd_server.h"
#include "raw_ftp_reply.h"
#include "scripted_ftp_peer.h"
#include "vsftpd_server.h"

#include <gtest/gtest.h>

using namespace brisk::test;

namespace {

std::string url(uint16_t port, const std::string& userInfo = "brisk:brisk-pw@")
{
    return "ftp://" + userInfo + "127.0.0.1:" + std::to_string(port);
}

} // namespace

TEST(CliQuote, PrintsEachReplyAndHidesThePassword)
{
    if (auto why = PyftpdServer::unavailableReason())
        GTEST_SKIP() << *why;
    PyftpdServer server;
    const CommandResult r = runCli({"-v", url(server.port()), "quote", "PWD", "NOOP", "TYPE I"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "257 \"/\" is the current directory.\n200 I successfully did nothing'.\n200 Type set to: Binary.\n");
    EXPECT_NE(r.err.find("> USER brisk\n< 331 Username ok, send password.\n> PASS (hidden)\n< 230"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("brisk-pw"), std::string::npos);
    EXPECT_NE(r.err.find("> QUIT\n< 221"), std::string::npos) << r.err;
}

TEST(CliQuote, AFailingCommandStopsWithStatus2AndTheError)
{
    if (auto why = PyftpdServer::unavailableReason())
        GTEST_SKIP() << *why;
    PyftpdServer server;
    const CommandResult r = runCli({url(server.port()), "quote", "XYZZY", "NOOP"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out.substr(0, 4), "500 ");
    EXPECT_EQ(r.out.find("200"), std::string::npos) << "nothing runs after the failure";
    EXPECT_NE(r.err.find("error 500: 500 "), std::string::npos) << r.err;

    const CommandResult wrong = runCli({url(server.port(), "brisk:nope@"), "quote", "PWD"});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_NE(wrong.err.find("PassAsync failed: error 530"), std::string::npos) << wrong.err;
}

// A multi-line reply is printed whole, exactly as the server sends it to any client.
TEST(CliQuote, PrintsEveryLineOfAMultiLineReply)
{
    if (auto why = VsftpdServer::unavailableReason())
        GTEST_SKIP() << *why;
    VsftpdServer server;
    std::string expected;
    for (const char* command : {"FEAT", "HELP"}) {
        const std::vector<std::string> reply = rawFtpReply(server.port(), kFtpUser, kFtpPassword, command);
        ASSERT_GT(reply.size(), 2u) << command;
        for (const std::string& line : reply)
            expected += line + "\n";
    }
    const CommandResult r = runCli({url(server.port()), "quote", "FEAT", "HELP"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, expected);
}

// Control bytes of a reply never reach the terminal; the judging stays on the last line.
TEST(CliQuote, ControlBytesOfAReplyArePrintedAsQuestionMarks)
{
    ScriptedFtpPeer peer("220 hi\r\n");
    peer.on("USER", "230 in\r\n");
    peer.on("STAT", "211-st\x1b]0;owned\x07" "atus\r\n 550 not the end\r\n211 End\r\n");
    const CommandResult r = runCli({"-v", url(peer.port(), "u:p@"), "quote", "STAT"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "211-st?]0;owned?atus\n 550 not the end\n211 End\n");
    EXPECT_NE(r.err.find("< 211-st?]0;owned?atus\n"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos);
}

TEST(CliQuote, AnonymousLoginAndInitialDirectory)
{
    if (auto why = VsftpdServer::unavailableReason())
        GTEST_SKIP() << *why;
    VsftpdServer server;
    const CommandResult r = runCli({url(server.port(), "") + "/pub", "quote", "PWD"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "257 \"/pub\" is the current directory\n");
}

TEST(CliQuote, ASilentServerTimesOutWith426)
{
    ScriptedFtpPeer peer("220 hi\r\n");
    peer.on("USER", "230 in\r\n");
    peer.on("PWD", ScriptedFtpPeer::silence());
    const CommandResult r = runCli({"--timeout", "1", url(peer.port(), "u:p@"), "quote", "PWD"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("426 Timeout"), std::string::npos) << r.err;
    EXPECT_EQ(peer.lines(0), (std::vector<std::string>{"USER u", "PWD"})) << "230 to USER: no PASS";
}

TEST(CliQuote, UsageErrorsExitWith1)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"ftp://h"}, {"http://h", "quote", "PWD"}, {"ftp://h", "quote"}, {"ftp://h", "dance"},
             {"--timeout", "x", "ftp://h", "quote", "PWD"}, {"-q", "ftp://h", "quote", "PWD"}}) {
        const CommandResult r = runCli(args);
        EXPECT_EQ(r.exitCode, 1) << r.err;
        EXPECT_NE(r.err.find("usage: brisklane-cli"), std::string::npos);
    }
}
