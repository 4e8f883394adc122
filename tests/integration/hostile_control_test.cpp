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

PeerRule answer(const std::string& text)
{
    return [text](PeerSession& s, const std::string&) { s.send(text); };
}

} // namespace

// A greeting that is none never leads to a login; a hang-up, stall or reset at any step, and a malformed
// reply, end the command as a failure that says so.
TEST(HostileControl, EveryBrokenRuleFailsTheCommand)
{
    const std::string hello = "220 hi\r\n";
    const std::vector<std::string> pwd = {"pwd"}, size = {"size", "f"}, rm = {"rm", "f"};
    const struct {
        std::string banner;
        const char* verb;
        PeerRule rule;
        std::vector<std::string> command;
        const char* says;
    } rows[] = {
        {"0220 four digits\r\n", "", {}, pwd, "426 Timeout"},
        {"220Ready without a blank\r\n", "", {}, pwd, "426 Timeout"},
        {std::string("\x01\xff\x00garbage\r\n", 12), "", {}, pwd, "426 Timeout"},
        {"", "", {}, pwd, "426 Timeout"},
        {"421 Too many users\r\n", "", {}, pwd, "421 Too many users"},
        {"220-Welcome\r\n530 text inside\r\n", "", {}, pwd, "426 Timeout"},
        {std::string(6000, 'x'), "", {}, pwd, "reply line too long"},
        {hello, "USER", ScriptedFtpPeer::hangUp(), pwd, "421 Connection closed by the server."},
        {hello, "PASS", ScriptedFtpPeer::hangUp(), pwd, "421 Connection closed by the server."},
        {hello, "PASS", ScriptedFtpPeer::silence(), pwd, "426 Timeout"},
        {hello, "PASS", [](PeerSession& s, const std::string&) { s.resetControl(); }, pwd, "Connection reset by peer"},
        {hello, "PWD", ScriptedFtpPeer::hangUp(), pwd, "421 Connection closed by the server."},
        {hello, "PWD", ScriptedFtpPeer::silence(), pwd, "426 Timeout"},
        {hello, "PWD", answer(std::string(5000, 'y')), pwd, "reply line too long"},
        {hello, "PWD", answer("257-\"/a\"\r\n257x\r\n"), pwd, "426 Timeout"},
        {hello, "SIZE", answer("213 12abc\r\n"), size, "500 Malformed SIZE reply: 213 12abc"},
        {hello, "DELE", answer("0250 deleted\r\n550 not really\r\n"), rm, "550 not really"},
        {hello, "DELE", answer("000 odd\r\n"), rm, "000 odd"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.banner.substr(0, 30) + " " + r.verb + " " + r.says);
        ScriptedFtpPeer peer(r.banner);
        peer.acceptLogin();
        peer.on("PWD", "257 \"/\"\r\n");
        if (*r.verb)
            peer.on(r.verb, r.rule);
        const CommandResult res = cli(peer, r.command);
        EXPECT_EQ(res.exitCode, 2) << res.err;
        EXPECT_NE(res.err.find(r.says), std::string::npos) << res.err;
        EXPECT_TRUE(res.out.empty()) << res.out;
        if (r.banner != hello) {
            EXPECT_FALSE(anyLineStartsWith(peer, "USER")) << "logged in on a greeting that was none";
        }
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
