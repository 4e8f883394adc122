// brisklane-cli against a scripted server that breaks the rules of the control connection: malformed
// greetings and replies, hang-ups at each step of the login, stalls, and commands smuggled into names.
// Every case must end with a failure status and a message that says what happened; nothing may pass
// for a success and no smuggled command may reach the server.
#include "command_runner.h"
#include "scripted_ftp_peer.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

using namespace brisk::test;
namespace fs = std::filesystem;

namespace {

CommandResult cli(const ScriptedFtpPeer& peer, const std::vector<std::string>& args)
{
    std::vector<std::string> argv{"--timeout", "1", "ftp://u:p@127.0.0.1:" + std::to_string(peer.port())};
    argv.insert(argv.end(), args.begin(), args.end());
    return runCli(argv, {}, std::chrono::seconds(20));
}

bool anyLineStartsWith(const ScriptedFtpPeer& peer, const std::string& prefix)
{
    for (size_t c = 0; c < peer.connectionCount(); ++c)
        for (const std::string& line : peer.lines(c))
            if (line.rfind(prefix, 0) == 0)
                return true;
    return false;
}

} // namespace

TEST(HostileControl, MalformedGreetingsNeverLogIn)
{
    struct Row {
        std::string banner;
        const char* says;
    } rows[] = {
        {"0220 four digits\r\n", "426 Timeout"},
        {"220Ready without a blank\r\n", "426 Timeout"},
        {std::string("\x01\xff\x00garbage\r\n", 12), "426 Timeout"},
        {"", "426 Timeout"},
        {"421 Too many users\r\n", "421 Too many users"},
        {"220-Welcome\r\n530 text inside\r\n", "426 Timeout"},
        {std::string(6000, 'x'), "reply line too long"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.says);
        ScriptedFtpPeer peer(r.banner);
        peer.acceptLogin();
        const CommandResult res = cli(peer, {"pwd"});
        EXPECT_EQ(res.exitCode, 2) << res.err;
        EXPECT_NE(res.err.find(r.says), std::string::npos) << res.err;
        EXPECT_TRUE(res.out.empty()) << res.out;
        EXPECT_FALSE(anyLineStartsWith(peer, "USER")) << "logged in on a greeting that was none";
    }
}

TEST(HostileControl, HangUpsStallsAndResetsAtEachStepFail)
{
    struct Row {
        const char* verb;
        PeerRule rule;
        const char* says;
    } rows[] = {
        {"USER", ScriptedFtpPeer::hangUp(), "421 Connection closed by the server."},
        {"PASS", ScriptedFtpPeer::hangUp(), "421 Connection closed by the server."},
        {"PASS", ScriptedFtpPeer::silence(), "426 Timeout"},
        {"PASS", [](PeerSession& s, const std::string&) { s.resetControl(); }, "Connection reset by peer"},
        {"PWD", ScriptedFtpPeer::hangUp(), "421 Connection closed by the server."},
        {"PWD", ScriptedFtpPeer::silence(), "426 Timeout"},
        {"PWD", [](PeerSession& s, const std::string&) { s.send(std::string(5000, 'y')); }, "reply line too long"},
        {"PWD", [](PeerSession& s, const std::string&) { s.send("257-\"/a\"\r\n257x\r\n"); }, "426 Timeout"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.verb) + " " + r.says);
        ScriptedFtpPeer peer;
        peer.acceptLogin();
        peer.on("PWD", "257 \"/\"\r\n");
        peer.on(r.verb, r.rule);
        const CommandResult res = cli(peer, {"pwd"});
        EXPECT_EQ(res.exitCode, 2) << res.err;
        EXPECT_NE(res.err.find(r.says), std::string::npos) << res.err;
        EXPECT_TRUE(res.out.empty()) << res.out;
    }
}

TEST(HostileControl, MalformedRepliesToCommandsAreFailures)
{
    struct Row {
        std::vector<std::string> command;
        const char* verb;
        const char* reply;
        const char* says;
    } rows[] = {
        {{"size", "f"}, "SIZE", "213 12abc\r\n", "500 Malformed SIZE reply: 213 12abc"},
        {{"size", "f"}, "SIZE", "213 99999999999999999999\r\n", "Malformed SIZE reply"},
        {{"size", "f"}, "SIZE", "213 -1\r\n", "Malformed SIZE reply"},
        {{"rm", "f"}, "DELE", "0250 deleted\r\n550 not really\r\n", "550 not really"},
        {{"rm", "f"}, "DELE", "000 odd\r\n", "000 odd"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.reply);
        ScriptedFtpPeer peer;
        peer.acceptLogin();
        peer.on(r.verb, r.reply);
        const CommandResult res = cli(peer, r.command);
        EXPECT_EQ(res.exitCode, 2) << res.err;
        EXPECT_NE(res.err.find(r.says), std::string::npos) << res.err;
        EXPECT_TRUE(res.out.empty()) << res.out;
    }
}

TEST(HostileControl, LineBreaksInNamesAreRefusedAndNothingIsSmuggled)
{
    TempDir dir;
    const std::string evil = "x\r\nDELE victim";
    const std::vector<std::vector<std::string>> commands = {
        {"get", evil, (dir.path() / "out").string()},
        {"rm", evil},
        {"mkdir", "a\nDELE victim"},
        {"mv", "a", evil},
        {"ls", evil},
        {"quote", "NOOP\r\nDELE victim"},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command[0]);
        ScriptedFtpPeer peer;
        peer.acceptLogin();
        peer.setDefault("250 ok\r\n");
        const CommandResult res = cli(peer, command);
        EXPECT_EQ(res.exitCode, 1) << res.err;
        EXPECT_NE(res.err.find("Refused: CR, LF or NUL in a command"), std::string::npos) << res.err;
        EXPECT_FALSE(anyLineStartsWith(peer, "DELE")) << "a smuggled command reached the server";
        EXPECT_FALSE(fs::exists(dir.path() / "out"));
        EXPECT_TRUE(res.out.empty()) << res.out;
    }
}

// After "234" the server's bytes are no TLS (even in the same read), or it hangs up: a clear failure,
// and no login in clear.
TEST(HostileControl, ABrokenTlsHandshakeFailsBeforeTheLogin)
{
    struct Row {
        PeerRule afterAuth;
        const char* says;
    } rows[] = {
        {[](PeerSession& s, const std::string&) { s.send("234 go\r\n230 injected\r\n"); }, "clear text after accepting TLS"},
        {[](PeerSession& s, const std::string&) {
             s.send("234 go\r\n");
             std::this_thread::sleep_for(std::chrono::milliseconds(200));
             s.send("220 this is no TLS\r\n");
         },
         "TLS handshake failed"},
        {[](PeerSession& s, const std::string&) { s.send("234 go\r\n"); s.closeControl(); }, "closed the connection during the TLS handshake"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.says);
        ScriptedFtpPeer peer("220 hi\r\n");
        peer.on("AUTH", r.afterAuth);
        peer.acceptLogin();
        const CommandResult res = runCli({"--timeout", "2", "--tls", "auto", "ftp://u:p@127.0.0.1:" + std::to_string(peer.port()), "pwd"},
                                         {}, std::chrono::seconds(20));
        EXPECT_EQ(res.exitCode, 2) << res.err;
        EXPECT_NE(res.err.find(r.says), std::string::npos) << res.err;
        EXPECT_FALSE(anyLineStartsWith(peer, "USER"));
    }
}
