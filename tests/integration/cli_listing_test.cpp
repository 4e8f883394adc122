#include "command_runner.h"
#include "scripted_ftp_peer.h"
#include "site_fixtures.h"
#include "sites/site_defaults.h"
#include "sites/site_list.h"
#include "temp_home.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

using namespace brisk;
using namespace brisk::test;
using namespace std::chrono_literals;

namespace {

bool waitForCommand(const ScriptedFtpPeer& peer, const std::string& verb)
{
    for (size_t n = 1; peer.waitForLines(n, 10s); ++n)
        if (peer.lines()[n - 1].rfind(verb, 0) == 0)
            return true;
    return false;
}

class CliListing : public TempHomeTest {
protected:
    void storeSite(const std::string& name, const std::string& server)
    {
        SiteList sites{SiteDefaults{}};
        ASSERT_TRUE(sites.LoadSiteList(""));
        TFTPServerInfo site = test::newDefaultSite();
        site.Name = name;
        site.Server = server;
        site.User = "brisk";
        site.SavePassword = 0;
        size_t index = 0;
        ASSERT_TRUE(sites.addSite(site, index).ok());
    }
};

// The forms of a server field without host are session_connect_test.cpp's; here the exit status.
TEST_F(CliListing, AStoredSiteWithoutHostIsAUsageError)
{
    storeSite("NoHost", "user@:21/dir");
    const CommandResult r = runCli({"@NoHost", "pwd"}, "secret\n", 30s);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "brisklane-cli: Host name empty\n");
    EXPECT_EQ(r.out, "");
}

TEST_F(CliListing, ByteCountOptionsTakeOnlyByteCounts)
{
    const struct {
        const char* option;
        std::vector<std::string> refused;
    } rows[] = {
        {"--max-listing", {"", "-1", "1e6", "12ab", "9999999999999999999"}},
        {"--limit-rate", {"", "0", "0K", "-1", "1.5M", "12X", "K", "9999999999999G"}},
    };
    for (const auto& row : rows) {
        for (const std::string& value : row.refused) {
            const CommandResult r = runCli({row.option, value, "ftp://127.0.0.1:1", "ls"});
            EXPECT_EQ(r.exitCode, 1) << row.option << " " << value;
            EXPECT_NE(r.err.find(std::string("unknown or incomplete option ") + row.option), std::string::npos) << r.err;
        }
        EXPECT_EQ(runCli({row.option}).exitCode, 1);
    }
}

// The listing is stuck half-way when SIGTERM (or SIGINT) arrives: the temporary file goes with the program.
TEST_F(CliListing, ASignalDuringAListingRemovesTheTemporaryFile)
{
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        ScriptedFtpPeer peer;
        peer.acceptLogin();
        peer.on("PASV", ScriptedFtpPeer::passive());
        peer.on("LIST", [](PeerSession& s, const std::string&) {
            s.send("150 here\r\n");
            s.acceptData();
            s.sendData("-rw-r--r-- 1 u g 5 Jan 01 2020 first.txt\r\n");
        });
        const std::string tmp = home() + "tmp-" + std::to_string(signal);
        std::filesystem::create_directories(tmp);
        std::string env = "env", tmpEnv = "TMPDIR=" + tmp, cli = BRISKLANE_CLI_PATH, ls = "ls";
        std::string url = "ftp://u:p@127.0.0.1:" + std::to_string(peer.port());
        char* argv[] = {env.data(), tmpEnv.data(), cli.data(), url.data(), ls.data(), nullptr};
        pid_t pid = 0;
        ASSERT_EQ(posix_spawnp(&pid, "env", nullptr, nullptr, argv, environ), 0);

        const bool listed = waitForCommand(peer, "LIST");
        // The data connection is accepted once the tool is receiving into its file.
        const bool fileThere = !std::filesystem::is_empty(tmp);
        // In a directory of its own that only this user may enter: nobody can put a link or a file
        // of theirs under the listing's name while it is made again for each listing.
        bool privateDir = fileThere;
        for (const auto& entry : std::filesystem::directory_iterator(tmp))
            privateDir = privateDir && entry.is_directory() && !entry.is_symlink() &&
                         (entry.status().permissions() & std::filesystem::perms::all) == std::filesystem::perms::owner_all;
        ::kill(pid, signal);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(listed) << ::testing::PrintToString(peer.lines());
        EXPECT_TRUE(fileThere) << "the listing was arriving in its temporary file";
        EXPECT_TRUE(privateDir);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
        EXPECT_TRUE(std::filesystem::is_empty(tmp));
    }
}

} // namespace
