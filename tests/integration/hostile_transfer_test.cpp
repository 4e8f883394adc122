// brisklane-cli against servers that misbehave on the data path. Whatever happens, the command fails
// with exit status 2 and says why, and the user's existing local file keeps its bytes (a download
// that had already received data keeps exactly that data, so that it can be resumed).
#include "command_runner.h"
#include "file_io.h"
#include "scripted_ftp_peer.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using namespace brisk::test;

namespace {

const std::string kPrecious = "precious local bytes\n";

struct HostileCase {
    const char* name;
    std::vector<std::string> options;
    std::function<void(ScriptedFtpPeer&)> script;
    std::vector<std::string> messages;          // each on stderr
    std::optional<std::string> partAfter;       // what the part file holds afterwards; unset: none
    bool listing = false;                       // "ls" instead of "get"
};

std::string bytesArrived() { return std::string(20000, 'r'); }

std::vector<HostileCase> cases()
{
    return {
        {"refused", {}, [](ScriptedFtpPeer& p) { p.on("RETR", "550 No such file.\r\n"); },
         {"550 No such file."}, {}},
        {"closed passive port", {},
         [](ScriptedFtpPeer& p) {
             p.on("PASV", "227 Entering Passive Mode (127,0,0,1,0,1).\r\n");
             p.on("RETR", "425 Can't open data connection.\r\n");
         },
         {"Unable to establish data connection, error #10061 (Connection refused)"}, {}},
        {"stalled after 150", {"--timeout", "1"},
         [](ScriptedFtpPeer& p) {
             p.on("RETR", [](PeerSession& s, const std::string&) {
                 s.send("150 go\r\n");
                 s.acceptData();
             });
         },
         {"426 Timeout"}, {}},
        {"reset before data", {},
         [](ScriptedFtpPeer& p) {
             p.on("RETR", [](PeerSession& s, const std::string&) {
                 s.send("150 go\r\n");
                 s.acceptData();
                 s.resetData();
                 s.send("426 Failure writing network stream.\r\n");
             });
         },
         {"Connection reset by peer"}, {}},
        {"reset mid-transfer", {},
         [](ScriptedFtpPeer& p) {
             p.on("RETR", [](PeerSession& s, const std::string&) {
                 s.send("150 go\r\n");
                 s.acceptData();
                 s.sendData(bytesArrived());
                 s.resetData();
                 s.send("426 Failure writing network stream.\r\n");
             });
         },
         {"error 10054: 426 Data connection: Connection reset by peer (error #10054)"}, bytesArrived()},
        {"active connection from a stranger", {"--active", "--timeout", "1", "-v"},
         [](ScriptedFtpPeer& p) {
             p.on("PORT", [](PeerSession& s, const std::string& line) {
                 s.intrudeData("127.0.0.2", line, "forged contents\r\n");
                 s.send("200 PORT ok\r\n");
             });
             p.on("RETR", "150 go\r\n");
         },
         {"! Data connection from 127.0.0.2 refused", "426 Timeout"}, {}},
        {"endless listing", {"--max-listing", "100000"},
         [](ScriptedFtpPeer& p) {
             p.on("LIST", [](PeerSession& s, const std::string&) {
                 s.send("150 here\r\n");
                 s.acceptData();
                 try {
                     for (;;)
                         s.sendData("-rw-r--r-- 1 u g 1 Jan 01 2020 again\r\n" + std::string(65536, ' '));
                 } catch (const std::runtime_error&) {
                 }
                 s.closeData();
                 s.send("426 Transfer aborted.\r\n");
             });
         },
         {"552 Listing larger than 100000 bytes"}, {}, true},
    };
}

CommandResult cli(const std::vector<std::string>& options, const std::vector<std::string>& rest, uint16_t port)
{
    std::vector<std::string> argv = options;
    argv.push_back("ftp://u:p@127.0.0.1:" + std::to_string(port));
    argv.insert(argv.end(), rest.begin(), rest.end());
    return runCli(argv, {}, std::chrono::seconds(30));
}

} // namespace

TEST(HostileTransfer, AFailedDownloadOrListingSaysWhyAndSparesTheLocalFile)
{
    for (const HostileCase& c : cases()) {
        SCOPED_TRACE(c.name);
        ScriptedFtpPeer peer("220 hostile\r\n");
        peer.acceptLogin();
        peer.on("PASV", ScriptedFtpPeer::passive());
        c.script(peer);
        TempDir dir;
        const std::string local = (dir.path() / "kept.bin").string();
        writeFileBytes(local, kPrecious);
        const CommandResult r = cli(c.options, c.listing ? std::vector<std::string>{"ls"}
                                                         : std::vector<std::string>{"get", "f.bin", local}, peer.port());
        EXPECT_EQ(r.exitCode, 2) << r.err;
        EXPECT_NE(r.err.find(c.listing ? "failed: error " : "brisklane-cli: GetAsync failed: error "), std::string::npos)
            << r.err;
        EXPECT_EQ(r.out, "");
        for (const std::string& message : c.messages)
            EXPECT_NE(r.err.find(message), std::string::npos) << message << " not in:\n" << r.err;
        EXPECT_EQ(r.err.find(" bytes received/sent in "), std::string::npos) << "no statistics for a failure";
        // The local file is replaced only by a whole download; what arrived of a broken one waits in
        // the part file for a resume.
        EXPECT_EQ(readFileBytes(local), kPrecious);
        EXPECT_EQ(std::filesystem::exists(local + ".part"), c.partAfter.has_value());
        if (c.partAfter) {
            EXPECT_EQ(readFileBytes(local + ".part"), *c.partAfter);
        }
    }
}
