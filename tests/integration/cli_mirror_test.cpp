// brisklane-cli's mirror: the runner (whose commands tests/unit/mirror_runner_test.cpp asserts) as
// its flags and profile set it up, its summary, dry-run plan and exit status.
#include "byte_pattern.h"
#include "cli_vsftpd_test.h"
#include "file_io.h"
#include "file_tree.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace brisk::test;
namespace fs = std::filesystem;

namespace {

using Strings = std::vector<std::string>;

// `brisklane-cli URL mirror ...` against vsftpd, with the remote tree "m" below its root.
class CliMirror : public CliVsftpdTest {
protected:
    void SetUp() override
    {
        CliVsftpdTest::SetUp();
        fs::create_directories(local());
    }
    fs::path local() const { return tmp.path() / "local"; }
    fs::path remote() const { return server->dataDir() / "m"; }
    CommandResult mirror(Strings flags, int status = 0)
    {
        flags.insert(flags.begin(), {"-v", url, "mirror"});
        flags.insert(flags.end(), {local().string(), "m"});
        CommandResult r = runCli(flags);
        EXPECT_EQ(r.exitCode, status) << r.err;
        return r;
    }

    TempDir tmp;
};

TEST_F(CliMirror, DownloadIntoAnEmptyDirectoryThenNewerTransfersNothing)
{
    server->writeDataFile("m/a.bin", bytePattern(70000, 1));
    server->writeDataFile("m/zero.bin", "");
    server->writeDataFile("m/s/t/b.bin", bytePattern(5000, 2));
    CommandResult r = mirror({"--direction", "local", "--subdirs"});
    EXPECT_EQ(treeOf(local()), treeOf(remote()));
    EXPECT_TRUE(contains(r.err, "Mirror finished: 3 transferred, 0 deleted, 0 skipped, 0 failed, 75000 bytes in "))
        << r.err;
    EXPECT_TRUE(contains(readFile(home() + "mirrorstate.txt"), "\r\nOk\r\na.bin\ta.bin\t0\t70000\tomGet\tsmDone\r\n"));

    r = mirror({"--direction", "local", "--subdirs", "--if-exists", "newer"});
    EXPECT_TRUE(contains(r.err, "Mirror finished: 0 transferred, 0 deleted, 0 skipped, 0 failed, 0 bytes")) << r.err;
}

TEST_F(CliMirror, UploadWithDeleteRemovesWhatTheLocalSideLacks)
{
    writeFileBytes(local() / "a.bin", bytePattern(4096, 3));
    writeFileBytes(local() / "d" / "b.bin", bytePattern(10, 4));
    server->writeDataFile("m/extra.bin", "x");
    server->writeDataFile("m/old/c.bin", "y");
    const CommandResult r = mirror({"--delete", "--subdirs"});
    EXPECT_EQ(treeOf(remote()), treeOf(local()));
    EXPECT_TRUE(contains(r.err, "Mirror finished: 2 transferred, 3 deleted, 0 skipped, 0 failed, 4106 bytes")) << r.err;
}

// The plan in the state file's line format (that nothing changes is the runner's, in
// mirror_runner_test.cpp).
TEST_F(CliMirror, DryRunPrintsThePlanAndChangesNothing)
{
    server->writeDataFile("m/a.bin", bytePattern(300, 5));
    server->writeDataFile("m/s/b.bin", bytePattern(20, 6));
    writeFileBytes(local() / "mine.bin", "local");
    CommandResult r = mirror({"--direction", "local", "--subdirs", "--delete", "--dry-run"});
    // An entered directory's plan comes before its "omDir", which stays current until it is planned.
    EXPECT_EQ(r.out, "a.bin\ta.bin\t0\t300\tomGet\tsmDone\n"
                     "mine.bin\t\t0\t0\tomDelLoc\tsmDone\n"
                     "s\t\t0\t0\tomMkdLoc\tsmDone\n"
                     "b.bin\tb.bin\t0\t20\tomGet\tsmDone\n"
                     "s\ts\t0\t0\tomDir\tsmDone\n"
                     "s\ts\t0\t0\tomDirUp\tsmDone\n");
    EXPECT_TRUE(contains(r.err, "Mirror finished: 0 transferred, 0 deleted, 3 skipped, 0 failed, 0 bytes")) << r.err;

    // Upward, a remote directory that would be made first is neither entered nor left.
    writeFileBytes(local() / "new" / "c.bin", "c");
    r = mirror({"--subdirs", "--dry-run"});
    EXPECT_EQ(r.out, "mine.bin\tmine.bin\t5\t0\tomPut\tsmDone\n"
                     "\tnew\t0\t0\tomMkdFtp\tsmDone\n"
                     "new\tnew\t0\t0\tomDir\tsmDone\n"
                     "new\tnew\t0\t0\tomDirUp\tsmDone\n")
        << r.err;
}

// A profile's direction and exclusions apply when no flag names them; a profile that cannot be read
// is a usage error.
TEST_F(CliMirror, ProfileSettingsApplyUnderTheFlags)
{
    server->writeDataFile("m/keep.bin", "k");
    server->writeDataFile("m/skip.tmp", "s");
    const std::string profile = tmp.path() / "p.cpf";
    writeFile(profile, "[Mirror]\r\nDirection=1\r\nExclusions=*.tmp\r\n");
    CommandResult r = mirror({"--profile", profile});
    EXPECT_EQ(treeOf(local()), (std::map<std::string, std::string>{{"keep.bin", "k"}}));
    r = mirror({"--profile", profile, "--exclude", "*.bin", "--direction", "remote", "--delete"});
    EXPECT_EQ(treeOf(remote()), (std::map<std::string, std::string>{{"keep.bin", "k"}, {"skip.tmp", "s"}}));
    mirror({"--profile", (tmp.path() / "none.cpf").string()}, 1);
}

TEST_F(CliMirror, AFailedOperationGivesExitStatus2)
{
    server->writeDataFile("m/a.bin", "a");
    server->writeDataFile("m/b.bin", "b");
    // The server reads as the FTP user, who may not read this one.
    fs::permissions(remote() / "b.bin", fs::perms::none);
    CommandResult r = mirror({"--direction", "local"}, 2);
    EXPECT_TRUE(contains(r.err, "Mirror finished: 1 transferred, 0 deleted, 0 skipped, 1 failed, 1 bytes")) << r.err;
    EXPECT_EQ(readFileBytes(local() / "a.bin"), "a");

    r = runCli({url, "mirror", local().string(), "no-such-dir"});
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_EQ(runCli({url, "mirror", "--direction", "sideways", local().string(), "m"}).exitCode, 1);
}

} // namespace

// A directory the server lets one enter but not list (mode 0711; vsftpd then answers LIST with
// "226 Transfer done (but failed to open directory)" and no data) is a failure of that directory:
// its local copy is neither emptied nor added to, the siblings after it are mirrored in their own
// directories, and the command says so and exits 2.
TEST_F(CliMirror, UnlistableDirectoryKeepsItsLocalCopyAndTheRunGoesOn)
{
    server->writeDataFile("m/a/one.bin", bytePattern(100, 1));
    server->writeDataFile("m/locked/secret.bin", bytePattern(200, 2));
    server->writeDataFile("m/z/two.bin", bytePattern(300, 3));
    // Owned by root with mode 0711: the FTP user may enter it, not read it.
    ASSERT_EQ(::chown((remote() / "locked").c_str(), 0, 0), 0);
    fs::permissions(remote() / "locked", fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    writeFileBytes(local() / "locked" / "secret.bin", "my copy");
    writeFileBytes(local() / "locked" / "mine.bin", "only here");
    writeFileBytes(local() / "z" / "stale.bin", "stale");
    writeFileBytes(tmp.path() / "outside.bin", "outside");
    const auto before = treeOf(tmp.path());
    const auto remoteBefore = treeOf(remote());
    const CommandResult r = mirror({"--direction", "local", "--subdirs", "--delete"}, 2);
    EXPECT_EQ(treeOf(remote()), remoteBefore);
    EXPECT_TRUE(contains(r.err, "Mirror finished: 2 transferred, 1 deleted, 0 skipped, 1 failed")) << r.err;
    EXPECT_TRUE(contains(r.err, "  failed: locked: the directory could not be listed\n")) << r.err;
    auto expected = before;
    expected["local/a"] = "<dir>";
    expected["local/a/one.bin"] = bytePattern(100, 1);
    expected["local/z/two.bin"] = bytePattern(300, 3);
    expected.erase("local/z/stale.bin");
    EXPECT_EQ(treeOf(tmp.path()), expected);
}
