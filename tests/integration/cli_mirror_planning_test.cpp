// brisklane-cli's mirror where its planning must hold back: local links, local directories that
// cannot be read, and file times compared in UTC whatever zone the program runs in. Which commands
// a plan sends is mirror_runner_test.cpp's; here both trees and everything around them are checked.
#include "cli_vsftpd_test.h"
#include "file_io.h"
#include "file_tree.h"
#include "pyftpd_server.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <functional>

using namespace brisk::test;
namespace fs = std::filesystem;

namespace {

using Strings = std::vector<std::string>;
using Tree = std::map<std::string, std::string>;

// `brisklane-cli -v URL mirror FLAGS LOCAL REMOTE`, started through `prefix` (env, setpriv).
CommandResult mirrorRun(const std::string& url, Strings flags, const fs::path& local, const std::string& remote,
                        const Strings& prefix = {})
{
    Strings argv = prefix;
    argv.insert(argv.end(), {BRISKLANE_CLI_PATH, "-v", url, "mirror"});
    argv.insert(argv.end(), flags.begin(), flags.end());
    argv.insert(argv.end(), {local.string(), remote});
    return runCommand(argv, {}, std::chrono::seconds(60));
}

std::string finished(int transferred, int deleted, int failed)
{
    return "Mirror finished: " + std::to_string(transferred) + " transferred, " + std::to_string(deleted) +
           " deleted, 0 skipped, " + std::to_string(failed) + " failed, ";
}

class CliMirrorPlanning : public CliVsftpdTest {
protected:
    void SetUp() override
    {
        CliVsftpdTest::SetUp();
        if (IsSkipped())
            return;
        fs::create_directories(local());
    }
    fs::path local() const { return tmp.path() / "local"; }
    fs::path outside() const { return tmp.path() / "outside"; }
    fs::path remote() const { return server->dataDir() / "m"; }
    CommandResult mirror(const Strings& flags, int status, const Strings& prefix = {})
    {
        CommandResult r = mirrorRun(url, flags, local(), "m", prefix);
        EXPECT_EQ(r.exitCode, status) << r.err;
        return r;
    }

    TempDir tmp;
};

// A download into an empty local directory makes every directory of the remote tree, each with its
// files: a plan long enough to outgrow the operation list's first buffer keeps every name.
TEST_F(CliMirrorPlanning, ADownloadMakesEachDirectoryOfTheTree)
{
    Tree files;
    for (int dir = 0; dir < 20; ++dir)
        for (int file = 0; file < 2; ++file)
            files["d" + std::to_string(dir) + "/f" + std::to_string(file)] = std::to_string(dir * 100 + file);
    for (const auto& [path, bytes] : files)
        server->writeDataFile("m/" + path, bytes);
    const CommandResult r = mirror({"--subdirs", "--direction", "local"}, 0);
    EXPECT_NE(r.err.find(finished(40, 0, 0)), std::string::npos) << r.err.substr(r.err.size() > 3000 ? r.err.size() - 3000 : 0);
    EXPECT_EQ(treeOf(local()), treeOf(remote()));
}

// A local link to a directory outside the root, and one to a file there, against remote namesakes:
// in both directions, with links ignored (the default) and followed, with --delete. Nothing outside
// the root changes, no link is entered or replaced, and the remote namesakes neither go nor change
// because of a link; only a followed link to a file is read as the file. Where links are followed,
// what a link stands in the way of fails (exit 2).
TEST_F(CliMirrorPlanning, LocalLinksAreNeverEnteredNorAReasonToActOnTheOtherSide)
{
    writeFileBytes(outside() / "secret.txt", "secret");
    writeFileBytes(outside() / "sub" / "deep.txt", "deep");
    writeFileBytes(local() / "a.txt", "a");
    writeFileBytes(local() / "d" / "b.txt", "b");
    fs::create_directory_symlink(outside(), local() / "out");
    fs::create_symlink(outside() / "secret.txt", local() / "ln.txt");
    server->writeDataFile("m/out/r.txt", "r");
    server->writeDataFile("m/ln.txt", "remote ln");
    server->writeDataFile("m/gone.txt", "g");
    const Tree outsideBefore = treeWithLinksOf(outside());
    const Tree localBefore = treeWithLinksOf(local());
    const std::string followLinks = (tmp.path() / "follow.cpf").string();
    writeFileBytes(followLinks, "[Mirror]\r\nParams=16\r\n");

    Tree remoteAfter{{"a.txt", "a"}, {"d", "<dir>"}, {"d/b.txt", "b"}, {"ln.txt", "remote ln"}, {"out", "<dir>"},
                     {"out/r.txt", "r"}};
    const CommandResult up = mirror({"--direction", "remote", "--delete", "--subdirs"}, 0);
    EXPECT_TRUE(contains(up.err, finished(2, 1, 0))) << up.err;
    EXPECT_EQ(treeOf(remote()), remoteAfter);
    EXPECT_EQ(treeWithLinksOf(local()), localBefore);
    EXPECT_EQ(treeWithLinksOf(outside()), outsideBefore);

    const CommandResult down = mirror({"--direction", "local", "--delete", "--subdirs"}, 0);
    EXPECT_TRUE(contains(down.err, finished(2, 0, 0))) << down.err;
    EXPECT_EQ(treeOf(remote()), remoteAfter);
    EXPECT_EQ(treeWithLinksOf(local()), localBefore);
    EXPECT_EQ(treeWithLinksOf(outside()), outsideBefore);

    const std::string notFollowed = "Skipped \"out\" in " + local().string() + "/: a symbolic link to a directory is not followed";
    const CommandResult followedUp = mirror({"--profile", followLinks, "--direction", "remote", "--delete", "--subdirs"}, 2);
    EXPECT_TRUE(contains(followedUp.err, notFollowed)) << followedUp.err;
    remoteAfter["ln.txt"] = "secret";
    EXPECT_EQ(treeOf(remote()), remoteAfter);
    EXPECT_EQ(treeWithLinksOf(local()), localBefore);
    EXPECT_EQ(treeWithLinksOf(outside()), outsideBefore);

    server->writeDataFile("m/ln.txt", "changed remotely");
    remoteAfter["ln.txt"] = "changed remotely";
    const CommandResult followedDown = mirror({"--profile", followLinks, "--direction", "local", "--delete", "--subdirs"}, 2);
    EXPECT_TRUE(contains(followedDown.err, notFollowed)) << followedDown.err;
    EXPECT_TRUE(contains(followedDown.err,
                         "Skipped \"ln.txt\" in " + local().string() + "/: the local target is a symbolic link"))
        << followedDown.err;
    EXPECT_EQ(treeOf(remote()), remoteAfter);
    EXPECT_EQ(treeWithLinksOf(local()), localBefore);
    EXPECT_EQ(treeWithLinksOf(outside()), outsideBefore);
}

// A local directory the program may not read fails, by name, and the run exits 2; its remote
// counterpart keeps every file, its local content stays, and the sibling after it is mirrored.
// Run as root, the program is started without the capabilities that pass over permission bits.
TEST_F(CliMirrorPlanning, UnreadableLocalDirectoryIsAFailureNeverAnEmptyOne)
{
    Strings prefix;
    if (::geteuid() == 0) {
        if (runCommand({"setpriv", "--version"}).exitCode != 0)
            GTEST_SKIP() << "running as root without setpriv: nothing can keep the program from reading";
        prefix = {"setpriv", "--bounding-set=-dac_override,-dac_read_search"};
    }
    writeFileBytes(local() / "a.txt", "a");
    writeFileBytes(local() / "locked" / "k.txt", "local k");
    writeFileBytes(local() / "z" / "z.txt", "z");
    server->writeDataFile("m/locked/k.txt", "remote k");
    server->writeDataFile("m/locked/r.txt", "r");
    server->writeDataFile("m/gone.txt", "g");
    fs::permissions(local() / "locked", fs::perms::none);
    const std::string skipped =
        "Skipped \"" + local().string() + "/locked/\": the local directory cannot be read (Permission denied)";

    CommandResult r = mirror({"--direction", "remote", "--delete", "--subdirs"}, 2, prefix);
    EXPECT_TRUE(contains(r.err, skipped)) << r.err;
    EXPECT_TRUE(contains(r.err, finished(2, 1, 1))) << r.err;
    const Tree remoteAfter{{"a.txt", "a"},      {"locked", "<dir>"}, {"locked/k.txt", "remote k"},
                           {"locked/r.txt", "r"}, {"z", "<dir>"},      {"z/z.txt", "z"}};
    EXPECT_EQ(treeOf(remote()), remoteAfter);

    r = mirror({"--direction", "local", "--delete", "--subdirs"}, 2, prefix);
    EXPECT_TRUE(contains(r.err, skipped)) << r.err;
    EXPECT_TRUE(contains(r.err, finished(2, 0, 1))) << r.err;
    EXPECT_EQ(treeOf(remote()), remoteAfter);
    fs::permissions(local() / "locked", fs::perms::owner_all);
    const Tree localAfter{{"a.txt", "a"}, {"locked", "<dir>"}, {"locked/k.txt", "local k"}, {"z", "<dir>"},
                          {"z/z.txt", "z"}};
    EXPECT_EQ(treeOf(local()), localAfter);

    // The root itself: the run has nothing to stand on and stops before it changes anything.
    fs::permissions(local(), fs::perms::none);
    r = mirror({"--direction", "remote", "--delete", "--subdirs"}, 2, prefix);
    EXPECT_TRUE(contains(r.err, "Mirror stopped: 0 transferred, 0 deleted, 0 skipped, 1 failed")) << r.err;
    EXPECT_TRUE(contains(r.err, "  failed: " + local().string() + ": the local directory cannot be read")) << r.err;
    fs::permissions(local(), fs::perms::owner_all);
    EXPECT_EQ(treeOf(remote()), remoteAfter);
    EXPECT_EQ(treeOf(local()), localAfter);
}

// A server whose listings give UTC times (vsftpd's LIST, pyftpdlib's MLSD), the program in a zone
// far west and one far east of it: after a first mirror, a second "newer" one transfers nothing in
// either direction. Recent files list with their time, old ones with their day only.
struct UtcServer {
    std::string url;
    fs::path root;
    std::function<void(const std::string&, const std::string&)> write;   // relative path, bytes
};

void expectSecondNewerRunIdle(const UtcServer& server, const fs::path& tmp)
{
    const std::time_t now = std::time(nullptr);
    const std::time_t old = 1583883000;   // 2020-03-10 23:30 UTC: another day in either zone
    int round = 0;
    for (const char* zone : {"America/New_York", "Asia/Tokyo"}) {
        SCOPED_TRACE(zone);
        const Strings inZone = {"env", std::string("TZ=") + zone};
        const std::string n = std::to_string(round++);
        const auto run = [&](const fs::path& local, const std::string& remote, Strings flags, int transferred) {
            const CommandResult r = mirrorRun(server.url, std::move(flags), local, remote, inZone);
            EXPECT_EQ(r.exitCode, 0) << r.err;
            EXPECT_TRUE(contains(r.err, finished(transferred, 0, 0))) << r.err;
        };

        server.write("down" + n + "/recent.bin", "recent");
        server.write("down" + n + "/old.bin", "old");
        setModifiedTime(server.root / ("down" + n) / "old.bin", old);
        const fs::path down = tmp / ("down" + n);
        fs::create_directories(down);
        run(down, "down" + n, {"--direction", "local"}, 2);
        run(down, "down" + n, {"--direction", "local", "--if-exists", "newer"}, 0);
        run(down, "down" + n, {"--direction", "remote", "--if-exists", "newer"}, 0);

        const fs::path up = tmp / ("up" + n);
        writeFileBytes(up / "recent.bin", "recent");
        writeFileBytes(up / "old.bin", "old");
        setModifiedTime(up / "recent.bin", now - 7200);
        setModifiedTime(up / "old.bin", old);
        server.write("up" + n + "/.keep", "");
        run(up, "up" + n, {"--direction", "remote"}, 2);
        run(up, "up" + n, {"--direction", "remote", "--if-exists", "newer"}, 0);
        EXPECT_EQ(readFileBytes(down / "recent.bin"), "recent");
    }
}

TEST_F(CliMirrorPlanning, TimesCompareInUtcWithAListingInUtc)
{
    const UtcServer utc{url, server->dataDir(),
                        [this](const std::string& path, const std::string& bytes) { server->writeDataFile(path, bytes); }};
    expectSecondNewerRunIdle(utc, tmp.path());
}

class CliMirrorPlanningMlsd : public TempHomeTest {};

TEST_F(CliMirrorPlanningMlsd, TimesCompareInUtcWithAMachineListing)
{
    if (auto why = PyftpdServer::unavailableReason())
        GTEST_SKIP() << *why;
    const PyftpdServer server;
    const TempDir tmp;
    const UtcServer utc{cliUrl(server.port()), server.root(), [&server](const std::string& path, const std::string& bytes) {
                            writeFileBytes(server.root() / path, bytes);
                        }};
    expectSecondNewerRunIdle(utc, tmp.path());
}

} // namespace
