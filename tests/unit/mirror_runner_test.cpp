// Mirror runs against the in-memory tree, started from the dialog or by the runner itself.
#include "file_io.h"
#include "file_tree.h"
#include "tree_session_test.h"

#include "mirror/mirror_profile.h"
#include "mirror/mirror_runner.h"
#include "mirror/mirroring.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace brisk::test {
namespace {

namespace fs = std::filesystem;

// Mirror runs against the in-memory tree: the commands sent, both trees after the run and the
// state file it leaves.
class MirrorRunnerTest : public TreeSessionTest {
protected:
    void SetUp() override
    {
        TreeSessionTest::SetUp();
        task.Local = local.string();
        task.Remote = "/site";
        task.Params = mpIncludeSubfolders | mpAllBinary;
        task.FileExists = MirrorFileExists::Overwrite;
    }
    Strings mirror(uint8_t direction)
    {
        task.Direction = direction;
        runner.reset();   // the old one lets go of the session first
        runner = std::make_unique<MirrorRunner>(rig->c, task);
        return run([&] { runner->start(); });
    }
    std::string state() const { return readFileBytes(home() + "mirrorstate.txt"); }
    std::string header(const std::string& outcome) const
    {
        return "127.0.0.1\r\n" + task.Local + "\r\n/site\r\n\r\n\r\n" + outcome + "\r\n";
    }

    TRecMirror task;
    std::unique_ptr<MirrorRunner> runner;
    // It holds the controller, which the base TearDown destroys.
    void TearDown() override
    {
        runner.reset();
        TreeSessionTest::TearDown();
    }
};

// The local link is never written through: its download fails.
TEST_F(MirrorRunnerTest, DownloadMirrorCopiesTheRemoteTree)
{
    server.addFile("/site/a.txt", 3);
    server.addFile("/site/l.txt", 1);
    server.addFile("/site/sub/b.txt", 2);
    writeFileBytes(tmp.path() / "outside.txt", "keep");
    fs::create_symlink(tmp.path() / "outside.txt", local / "l.txt");
    ASSERT_TRUE(open());
    EXPECT_EQ(mirror(1), (Strings{"CWD /site", "LIST", "RETR a.txt", "CWD /site/sub", "LIST", "RETR b.txt", "CDUP",
                                  "LIST", "CWD /site/", "LIST"}));
    EXPECT_EQ(readFileBytes(local / "a.txt"), "xxx");
    EXPECT_EQ(readFileBytes(local / "sub/b.txt"), "xx");
    EXPECT_TRUE(fs::is_symlink(local / "l.txt"));
    EXPECT_EQ(readFileBytes(tmp.path() / "outside.txt"), "keep");
    EXPECT_EQ(state(), header("Ok") +
                           "a.txt\ta.txt\t0\t3\tomGet\tsmDone\r\n"
                           "l.txt\tl.txt\t4\t1\tomGet\tsmError\r\n"
                           "sub\t\t0\t0\tomMkdLoc\tsmDone\r\n"
                           "b.txt\tb.txt\t0\t2\tomGet\tsmDone\r\n"
                           "sub\tsub\t0\t0\tomDir\tsmDone\r\n"
                           "sub\tsub\t0\t0\tomDirUp\tsmDone\r\n");
    EXPECT_EQ(rig->c.Ftp1.HostDirName, "/site/");
    EXPECT_TRUE(rig->c.pathBoxEnabled());
    EXPECT_FALSE(rig->c.Ftp1.Binary);
    EXPECT_EQ(rig->ui.progress.calls.back(), "close");
    EXPECT_EQ(rig->local.refreshes, 1);
}

// A download that falls short of the listed size, or is cut, fails and leaves the old file as it was,
// its bytes in the part file; a whole one replaces its target.
TEST_F(MirrorRunnerTest, DownloadsReplaceTheirTargetOnlyWhenComplete)
{
    server.addFile("/site/a.txt", 3);
    server.addFile("/site/b.txt", 2);
    server.addFile("/site/c.txt", 4);
    server.setRawListing("/site", "-rw-r--r--   1 o g 9 Jan 01  2020 a.txt\r\n"
                                  "-rw-r--r--   1 o g 2 Jan 01  2020 b.txt\r\n"
                                  "-rw-r--r--   1 o g 4 Jan 01  2020 c.txt\r\n");
    server.peer().onLine("RETR b.txt", [](PeerSession& s, const std::string&) {
        s.send("150 go\r\n");
        s.acceptData();
        s.sendData("x");
        s.resetData();
        s.send("426 Connection reset.\r\n");
    });
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        writeFileBytes(local / name, "old");
    writeFileBytes(tmp.path() / "outside.txt", "keep");
    task.Params = mpAllBinary;
    ASSERT_TRUE(open());
    EXPECT_EQ(mirror(1), (Strings{"CWD /site", "LIST", "RETR a.txt", "RETR b.txt", "RETR c.txt", "CWD /site/", "LIST"}));
    EXPECT_EQ(treeOf(tmp.path()), (std::map<std::string, std::string>{{"local", "<dir>"},
                                                                       {"local/a.txt", "old"},
                                                                       {"local/a.txt.part", "xxx"},
                                                                       {"local/b.txt", "old"},
                                                                       {"local/b.txt.part", "x"},
                                                                       {"local/c.txt", "xxxx"},
                                                                       {"outside.txt", "keep"}}));
    EXPECT_EQ(state(), header("Ok") +
                           "a.txt\ta.txt\t3\t9\tomGet\tsmError\r\n"
                           "b.txt\tb.txt\t3\t2\tomGet\tsmError\r\n"
                           "c.txt\tc.txt\t3\t4\tomGet\tsmDone\r\n");
}

// "Ask": only targets that exist are asked about; "Skip" passes the file, "Cancel" ends the run.
TEST_F(MirrorRunnerTest, AskPolicyAsksAboutExistingTargetsOnly)
{
    server.addFile("/site/a.txt", 3);
    server.addFile("/site/b.txt", 2);
    server.addFile("/site/c.txt", 1);
    writeFileBytes(local / "a.txt", "old");
    writeFileBytes(local / "c.txt", "old");
    task.FileExists = MirrorFileExists::Ask;
    ASSERT_TRUE(open());
    rig->ui.answerOverwrite(OverwriteChoice::Skip);
    rig->ui.answerOverwrite(OverwriteChoice::Cancel);
    EXPECT_EQ(mirror(1), (Strings{"CWD /site", "LIST", "RETR b.txt", "CWD /site/", "LIST"}));
    EXPECT_EQ(rig->ui.overwriteAsked.size(), 2u);
    EXPECT_TRUE(rig->ui.scriptUsedUp());
    EXPECT_EQ(readFileBytes(local / "a.txt"), "old");
    EXPECT_EQ(readFileBytes(local / "b.txt"), "xx");
    EXPECT_EQ(state(), header("Stopped") +
                           "a.txt\ta.txt\t3\t3\tomGet\tsmDone\r\n"
                           "b.txt\tb.txt\t0\t2\tomGet\tsmDone\r\n"
                           "c.txt\tc.txt\t3\t1\tomGet\tsmNone\r\n");
}

// A remote directory the local side has not is created and filled; one the local side lacks is
// entered and emptied, its subdirectories first, then left and removed. Uploads go under a
// temporary name and are renamed when complete.
TEST_F(MirrorRunnerTest, UploadMirrorCreatesAndRemovesRemoteDirectories)
{
    server.addFile("/site/gone.txt");
    server.addFile("/site/old/f.txt");
    server.addFile("/site/old/sub/g.txt");
    writeFileBytes(local / "a.txt", "abc");
    fs::create_directories(local / "d");
    writeFileBytes(local / "d/b.txt", "xy");
    task.Params = mpIncludeSubfolders | mpDeleteMissing;
    ASSERT_TRUE(open());
    EXPECT_EQ(mirror(0), (Strings{"CWD /site", "LIST", "STOR a.txt.part", "RNFR a.txt.part", "RNTO a.txt",
                                  "DELE gone.txt", "MKD /site/d", "CWD /site/d", "LIST", "STOR b.txt.part",
                                  "RNFR b.txt.part", "RNTO b.txt", "CDUP", "LIST", "CWD /site/old", "LIST", "DELE f.txt",
                                  "CWD /site/old/sub", "LIST", "DELE g.txt", "CDUP", "LIST", "RMD /site/old/sub",
                                  "CDUP", "LIST", "RMD /site/old", "CWD /site/", "LIST"}));
    EXPECT_EQ(server.paths(), (Strings{"/", "/site", "/site/a.txt", "/site/d", "/site/d/b.txt"}));
    EXPECT_EQ(server.sizeOf("/site/d/b.txt"), 2);
    for (const char* line : {"\td\t0\t0\tomMkdFtp\tsmDone", "\tgone.txt\t0\t0\tomDelFtp\tsmDone",
                             "\told\t0\t0\tomRmdFtp\tsmDone"})
        EXPECT_NE(state().find(std::string("\r\n") + line + "\r\n"), std::string::npos) << line;
}

// Stop between two transfers: the run ends at its next step, later records stay "smNone".
TEST_F(MirrorRunnerTest, StopEndsTheRunAndTheStateFileSaysStopped)
{
    server.addFile("/site/a.txt", 1);
    server.addFile("/site/b.txt", 1);
    ASSERT_TRUE(open());
    task.Direction = 1;
    runner = std::make_unique<MirrorRunner>(rig->c, task);
    rig->ui.progress.onEndFile = [this] { rig->c.StopTransfer(); };
    EXPECT_EQ(run([&] { runner->start(); }),
              (Strings{"CWD /site", "LIST", "RETR a.txt", "CWD /site/", "LIST"}));
    EXPECT_FALSE(fs::exists(local / "b.txt"));
    EXPECT_EQ(state(), header("Stopped") +
                           "a.txt\ta.txt\t0\t1\tomGet\tsmDone\r\n"
                           "b.txt\tb.txt\t0\t1\tomGet\tsmNone\r\n");
    EXPECT_EQ(rig->ui.progress.calls.back(), "close");
}

// The directory that cannot be entered is neither entered nor left, nor is the next one's entry
// taken for it; the run goes on from where it stands.
TEST_F(MirrorRunnerTest, DirectoryThatCannotBeEnteredIsSkipped)
{
    server.addDir("/site/x");
    server.addFile("/site/y/c.txt", 4);
    server.peer().onLine("CWD /site/x", "550 Permission denied.\r\n");
    ASSERT_TRUE(open());
    EXPECT_EQ(mirror(1), (Strings{"CWD /site", "LIST", "CWD /site/x", "CWD /site/y", "LIST", "RETR c.txt", "CDUP",
                                  "LIST", "CWD /site/", "LIST"}));
    EXPECT_EQ(readFileBytes(local / "y/c.txt"), "xxxx");
    EXPECT_NE(state().find("\nx\tx\t0\t0\tomDir\tsmError\r\nx\tx\t0\t0\tomDirUp\tsmError\r\n"), std::string::npos);
}

// A remote root that cannot be entered is a run that did not happen, never an "Ok".
TEST_F(MirrorRunnerTest, RootThatCannotBeEnteredStopsTheRun)
{
    server.addFile("/site/a.txt", 1);
    server.peer().onLine("CWD /site", "550 Permission denied.\r\n");
    ASSERT_TRUE(open());
    mirror(1);
    EXPECT_EQ(state(), header("Stopped"));
    EXPECT_FALSE(fs::exists(local / "a.txt"));
}

// A dry run only moves and lists: the directory that would be created is not entered, and neither
// side nor the last state file changes.
TEST_F(MirrorRunnerTest, DryRunOnlyListsAndKeepsTheStateFile)
{
    server.addFile("/site/a.txt", 3);
    server.addFile("/site/sub/b.txt", 2);
    writeFileBytes(local / "c.txt", "c");
    fs::create_directories(local / "new");
    writeFileBytes(home() + "mirrorstate.txt", "earlier");
    ASSERT_TRUE(open());
    runner = std::make_unique<MirrorRunner>(rig->c, task);
    runner->setDryRun(true);
    task.Direction = 2;
    EXPECT_EQ(run([&] { runner->start(); }),
              (Strings{"CWD /site", "LIST", "CWD /site/sub", "LIST", "CDUP", "LIST", "CWD /site/", "LIST"}));
    EXPECT_EQ(runner->run()->Items.Count(), 9);
    EXPECT_EQ(treeOf(local), (std::map<std::string, std::string>{{"c.txt", "c"}, {"new", "<dir>"}}));
    EXPECT_FALSE(server.exists("/site/c.txt"));
    EXPECT_EQ(state(), "earlier");
}

using Tree = std::map<std::string, std::string>;

// A directory that can be entered but not listed fails as a whole: nothing below it is
// transferred or deleted, the run leaves it again and goes on with its siblings in their own
// directories on both sides.
TEST_F(MirrorRunnerTest, UnlistedDirectoryKeepsItsSubtreeAndTheSiblingsGoOn)
{
    server.addFile("/site/a/one", 1);
    server.addFile("/site/b/two", 2);
    server.addFile("/site/c/three", 3);
    server.failListing("/site/b", "450 Cannot read the directory.\r\n");
    writeFileBytes(local / "b/two", "old");
    writeFileBytes(local / "b/mine", "mine");
    writeFileBytes(local / "c/stale", "stale");
    writeFileBytes(tmp.path() / "outside.txt", "keep");
    task.Params = mpIncludeSubfolders | mpDeleteMissing;
    Tree expected = treeOf(tmp.path());
    ASSERT_TRUE(open());
    EXPECT_EQ(mirror(1), (Strings{"CWD /site", "LIST", "CWD /site/a", "LIST", "RETR one", "CDUP", "LIST",
                                  "CWD /site/b", "LIST", "CDUP", "LIST", "CWD /site/c", "LIST", "RETR three",
                                  "CDUP", "LIST", "CWD /site/", "LIST"}));
    expected["local/a"] = "<dir>";
    expected["local/a/one"] = "x";
    expected["local/c/three"] = "xxx";
    expected.erase("local/c/stale");
    EXPECT_EQ(treeOf(tmp.path()), expected);
    EXPECT_EQ(runner->run()->Failed, Strings{"b: the directory could not be listed"});
    EXPECT_NE(state().find("\r\nb\tb\t0\t0\tomDir\tsmError\r\nb\tb\t0\t0\tomDirUp\tsmDone\r\n"), std::string::npos);
    EXPECT_FALSE(loggedWith("Skipped \"b\" in /site/: the directory could not be listed").empty());
}

// Upward the same: a remote directory that cannot be listed is neither filled nor emptied, one
// under removal that cannot be listed stays, and the next removal deletes in its own directory.
TEST_F(MirrorRunnerTest, UnlistedRemoteDirectoriesAreNeitherFilledNorEmptied)
{
    server.addFile("/site/b/two", 2);
    server.addFile("/site/b/theirs", 5);
    server.addFile("/site/old/kept", 1);
    server.addFile("/site/zzz/f", 1);
    server.failListing("/site/b", "550 Permission denied.\r\n");
    server.failListing("/site/old", "450 Cannot read the directory.\r\n");
    writeFileBytes(local / "b/two", "new");
    task.Params = mpIncludeSubfolders | mpDeleteMissing;
    ASSERT_TRUE(open());
    EXPECT_EQ(mirror(0), (Strings{"CWD /site", "LIST", "CWD /site/b", "LIST", "CDUP", "LIST", "CWD /site/old", "LIST",
                                  "CDUP", "LIST", "CWD /site/zzz", "LIST", "DELE f", "CDUP", "LIST",
                                  "RMD /site/zzz", "CWD /site/", "LIST"}));
    EXPECT_EQ(server.paths(), (Strings{"/", "/site", "/site/b", "/site/b/theirs", "/site/b/two", "/site/old",
                                       "/site/old/kept"}));
    EXPECT_EQ(server.sizeOf("/site/b/two"), 2);
    EXPECT_EQ(runner->run()->Failed,
              (Strings{"b: the directory could not be listed", "old: the directory could not be listed"}));
    EXPECT_EQ(treeOf(local), (Tree{{"b", "<dir>"}, {"b/two", "new"}}));
}

// Whatever the server lists, nothing is addressed outside the two roots: names with "/", "..",
// CR or NUL are passed over, logged and counted, in both directions, and the run ends.
TEST_F(MirrorRunnerTest, UnsafeListedNamesAreNeverActedOn)
{
    const std::string line = "-rw-r--r--   1 owner    group    2 Jan 01  2020 ";
    const std::string dirLine = "drwxr-xr-x   1 owner    group    0 Jan 01  2020 ";
    server.addFile("/site/ok.txt", 2);
    server.setRawListing("/site", line + "ok.txt\r\n" + line + "../..\r\n" + line + "a/b\r\n" + dirLine +
                                      "../up\r\n" + line + "cr\rname\r\n" + line + std::string("nul\0name", 8) +
                                      "\r\n");
    writeFileBytes(tmp.path() / "outside.txt", "keep");
    writeFileBytes(local / "mine.txt", "mine");
    task.Params = mpIncludeSubfolders | mpDeleteMissing;
    task.FileExists = MirrorFileExists::Skip;
    const Tree outside = treeOf(tmp.path());
    ASSERT_TRUE(open());
    const Strings refused{"../..: not a name that can be sent", "a/b: not a name that can be sent",
                          "../up: not a name that can be sent", "cr?name: not a name that can be sent",
                          "nul?name: not a name that can be sent"};
    EXPECT_EQ(mirror(1), (Strings{"CWD /site", "LIST", "RETR ok.txt", "CWD /site/", "LIST"}));
    EXPECT_EQ(runner->run()->Failed, refused);
    EXPECT_EQ(treeOf(local), (Tree{{"ok.txt", "xx"}}));
    EXPECT_EQ(mirror(0), (Strings{"CWD /site", "LIST", "CWD /site/", "LIST"}));
    EXPECT_EQ(runner->run()->Failed, refused);
    EXPECT_EQ(server.paths(), (Strings{"/", "/site", "/site/ok.txt"}));
    Tree after = outside;
    after.erase("local/mine.txt");
    after["local/ok.txt"] = "xx";
    EXPECT_EQ(treeOf(tmp.path()), after);
}

// A local name that no command can carry is passed over and counted; the run does not wait for a
// command that was never sent.
TEST_F(MirrorRunnerTest, LocalNameWithALineBreakIsPassedOver)
{
    writeFileBytes(local / "new\nline", "n");
    writeFileBytes(local / "ok.txt", "ok");
    task.Params = 0;
    ASSERT_TRUE(open());
    server.addDir("/site");
    EXPECT_EQ(mirror(0), (Strings{"CWD /site", "LIST", "STOR ok.txt.part", "RNFR ok.txt.part", "RNTO ok.txt",
                                  "CWD /site/", "LIST"}));
    EXPECT_EQ(runner->run()->Failed, Strings{"new?line: not a name that can be sent"});
    EXPECT_EQ(server.paths(), (Strings{"/", "/site", "/site/ok.txt"}));
}

// A server that will not rename over an existing file: the upload goes again under its own name,
// the temporary copy is deleted, and the later uploads of the run go direct.
TEST_F(MirrorRunnerTest, RefusedRenameFallsBackToADirectUpload)
{
    server.addFile("/site/a.txt", 1);
    server.addDir("/site/d");
    writeFileBytes(local / "a.txt", "abc");
    writeFileBytes(local / "d/b.txt", "bb");
    task.Params = mpIncludeSubfolders;
    ASSERT_TRUE(open());
    EXPECT_EQ(mirror(0), (Strings{"CWD /site", "LIST", "STOR a.txt.part", "RNFR a.txt.part", "RNTO a.txt",
                                  "STOR a.txt", "DELE a.txt.part", "CWD /site/d", "LIST", "STOR b.txt", "CDUP",
                                  "LIST", "CWD /site/", "LIST"}));
    EXPECT_EQ(server.paths(), (Strings{"/", "/site", "/site/a.txt", "/site/d", "/site/d/b.txt"}));
    EXPECT_EQ(server.sizeOf("/site/a.txt"), 3);
    EXPECT_TRUE(runner->run()->Failed.empty());
    EXPECT_FALSE(
        loggedWith("The server refused to rename the upload of a.txt; it is sent again under its own name").empty());
}

// An upload that breaks leaves neither a partial file under the real name nor its temporary copy;
// the next run (both ways, only newest) sends it again instead of fetching anything back. A copy
// that an earlier run could not tidy is neither fetched nor deleted, only replaced.
TEST_F(MirrorRunnerTest, InterruptedUploadIsSentAgainNeverFetchedBack)
{
    writeFileBytes(local / "a.txt", "abcd");
    server.addDir("/site");
    server.cutTransfer("/site/a.txt.part");
    task.Params = mpDeleteMissing;
    task.FileExists = MirrorFileExists::OverwriteNewest;
    ASSERT_TRUE(open());
    EXPECT_EQ(mirror(2), (Strings{"CWD /site", "LIST", "STOR a.txt.part", "DELE a.txt.part", "CWD /site/", "LIST"}));
    EXPECT_EQ(runner->run()->Failed.size(), 1u);
    EXPECT_EQ(server.paths(), (Strings{"/", "/site"}));
    EXPECT_EQ(mirror(2), (Strings{"CWD /site", "LIST", "STOR a.txt.part", "RNFR a.txt.part", "RNTO a.txt",
                                  "CWD /site/", "LIST"}));
    EXPECT_EQ(server.sizeOf("/site/a.txt"), 4);

    server.addFile("/site/b.txt.part", 1);
    writeFileBytes(local / "b.txt", "bb");
    task.FileExists = MirrorFileExists::Skip;
    EXPECT_EQ(mirror(2), (Strings{"CWD /site", "LIST", "STOR b.txt.part", "RNFR b.txt.part", "RNTO b.txt",
                                  "CWD /site/", "LIST"}));
    EXPECT_EQ(server.sizeOf("/site/b.txt"), 2);
    server.addFile("/site/b.txt.part", 1);
    EXPECT_EQ(mirror(0), (Strings{"CWD /site", "LIST", "CWD /site/", "LIST"}));
    EXPECT_TRUE(runner->run()->Failed.empty());
    EXPECT_TRUE(server.exists("/site/b.txt.part"));
    EXPECT_EQ(treeOf(local), (Tree{{"a.txt", "abcd"}, {"b.txt", "bb"}}));
}

// A line that could not be read may be any local name: it is counted, and nothing local is deleted
// beside it.
TEST_F(MirrorRunnerTest, AnUnreadableListingLineDeletesNothingLocal)
{
    server.setRawListing("/site", "-rw-r--r--   1 owner    group    2 Jan 01  2020 a.txt\r\n"
                                  "total: cannot read the directory entry\r\n");
    server.addFile("/site/a.txt", 2);
    writeFileBytes(local / "mine.txt", "mine");
    task.Params = mpDeleteMissing;
    ASSERT_TRUE(open());
    EXPECT_EQ(mirror(1), (Strings{"CWD /site", "LIST", "RETR a.txt", "CWD /site/", "LIST"}));
    EXPECT_EQ(runner->run()->Failed,
              (Strings{"total: cannot read the directory entry: a listing line that could not be read"}));
    EXPECT_EQ(treeOf(local), (Tree{{"a.txt", "xx"}, {"mine.txt", "mine"}}));
}

// A download that breaks is a failure of that file alone; the next run fetches it whole. A local
// "NAME.part" beside NAME is an unfinished download's: it is neither uploaded nor deleted.
TEST_F(MirrorRunnerTest, DownloadResetIsCountedAndTheNextRunFetchesTheFile)
{
    server.addFile("/site/a.txt", 4);
    server.addFile("/site/b.txt", 2);
    server.cutTransfer("/site/a.txt");
    task.Params = mpDeleteMissing;
    ASSERT_TRUE(open());
    EXPECT_EQ(mirror(1), (Strings{"CWD /site", "LIST", "RETR a.txt", "RETR b.txt", "CWD /site/", "LIST"}));
    EXPECT_EQ(runner->run()->Failed.size(), 1u);
    EXPECT_EQ(readFileBytes(local / "b.txt"), "xx");
    EXPECT_EQ(server.paths(), (Strings{"/", "/site", "/site/a.txt", "/site/b.txt"}));
    mirror(1);
    EXPECT_EQ(readFileBytes(local / "a.txt"), "xxxx");

    // Uploading, the part is neither sent nor deleted; downloading a.txt again, it is that download's
    // own part file, which becomes a.txt.
    writeFileBytes(local / "a.txt.part", "xx");
    for (uint8_t direction : {0, 1}) {
        const Strings sent = mirror(direction);
        EXPECT_EQ(std::count(sent.begin(), sent.end(), "STOR a.txt.part.part"), 0) << int(direction);
        EXPECT_TRUE(runner->run()->Failed.empty()) << int(direction);
        EXPECT_EQ(fs::exists(local / "a.txt.part"), direction == 0) << int(direction);
        EXPECT_EQ(readFileBytes(local / "a.txt"), "xxxx") << int(direction);
    }
    EXPECT_EQ(server.sizeOf("/site/a.txt"), 4);
    EXPECT_FALSE(server.exists("/site/a.txt.part"));
}

class MirroringTest : public TreeSessionTest {
protected:
    void SetUp() override
    {
        TreeSessionTest::SetUp();
        server.addDir("/pub");
        ASSERT_TRUE(open());
        rig->local.dir = home();
        mirroring = std::make_unique<Mirroring>(rig->c, rig->local, rig->ui, rig->ui);
    }
    std::string defaultProfile() const { return home() + "Default.cpf"; }
    // The dialog as the user leaves it: `edit` changes the form, then Execute (true) or Close.
    void leaveDialog(bool execute, const std::function<void(MirrorForm&)>& edit = {})
    {
        rig->ui.mirrorEditor = [this, execute, edit](MirrorForm& form) {
            seen.emplace(form);
            if (edit)
                edit(form);
            return execute;
        };
    }

    std::unique_ptr<Mirroring> mirroring;
    // It holds the controller, which the base TearDown destroys.
    void TearDown() override
    {
        mirroring.reset();
        TreeSessionTest::TearDown();
    }
    std::optional<MirrorForm> seen;
};

// The panels fill the task; Default.cpf is not read then, and Execute saves the dialog there.
TEST_F(MirroringTest, SynchronizeFillsTheTaskFromThePanelsAndExecuteSavesIt)
{
    writeFile(defaultProfile(), "[Mirror]\nLocal=/elsewhere\nRemote=/old\nDirection=2\nFile Exists=2\n");
    for (const int tag : {1, 0}) {
        leaveDialog(true, [](MirrorForm& form) { form.fileExists = 3; });
        mirroring->miSyncDir1Click(tag);
        ASSERT_TRUE(seen) << tag;
        // The policy shown is the start value, then the last Execute's.
        EXPECT_EQ(seen->local + " " + seen->remote + " " + std::to_string(seen->direction) + " " +
                      std::to_string(seen->fileExists),
                  home() + " / " + std::to_string(tag) + (tag == 1 ? " 0" : " 3"));
        EXPECT_EQ(mirroring->task.Direction, tag);
        EXPECT_TRUE(mirroring->task.Loaded);
        EXPECT_EQ(readFile(defaultProfile()), "[Mirror]\nLocal=" + home() + "\nRemote=/\nDirection=" +
                                                  std::to_string(tag) + "\nFile Exists=3\nExclusions=\nParams=26\nTemp Upload=1\n");
    }
    EXPECT_EQ(rig->ui.mirrorEdits, 2);
}

TEST_F(MirroringTest, ExecuteStartsTheRunAndCloseDoesNot)
{
    server.addFile("/pub/r.txt", 2);
    leaveDialog(false);
    EXPECT_TRUE(run([&] { mirroring->miSyncDir1Click(1); }).empty());
    leaveDialog(true, [](MirrorForm& form) { form.remote = "/pub"; });
    run([&] { mirroring->miSyncDir1Click(1); });
    EXPECT_EQ(readFile(home() + "r.txt"), "xx");
    ASSERT_NE(mirroring->runner().run(), nullptr);
    EXPECT_EQ(mirroring->runner().run()->Items.Count(), 1);
}

TEST_F(MirroringTest, SynchronizeOnlyWhileConnected)
{
    EXPECT_TRUE(mirroring->canSynchronize());
    rig->c.Disconnect();
    ASSERT_TRUE(rig->waitSiteList());
    EXPECT_FALSE(mirroring->canSynchronize());
    mirroring->miSyncDir1Click(1);
    EXPECT_EQ(rig->ui.mirrorEdits, 0);
    EXPECT_FALSE(mirroring->task.Loaded);
}

// Without the panels' fill the first dialog shows Default.cpf, read that once only; Close after
// editing leaves the file and the task as they were.
TEST_F(MirroringTest, DefaultProfileIsReadOnceAndCloseDropsTheEdits)
{
    writeFile(defaultProfile(), "[Mirror]\nLocal=" + home() + "\nRemote=/first\nExclusions=a|b\n");
    const std::string before = readFile(defaultProfile());
    leaveDialog(false, [](MirrorForm& form) {
        form.remote = "/changed";
        form.direction = 2;
        form.params = {};
        form.removeItem();
    });
    EXPECT_FALSE(mirroring->EditMirrorProfile());
    EXPECT_EQ(seen->exclusions(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(readFile(defaultProfile()), before);
    EXPECT_EQ(mirroring->task.Remote, "/first");
    EXPECT_EQ(mirroring->task.Direction, 0);
    EXPECT_EQ(mirroring->task.Params, 26);
    writeFile(defaultProfile(), "[Mirror]\nRemote=/second\n");
    mirroring->EditMirrorProfile();
    EXPECT_EQ(seen->remote, "/first");
    EXPECT_EQ(seen->exclusions().size(), 2u);
}

// Execute that cannot write Default.cpf says so and starts nothing; the task keeps the dialog.
TEST_F(MirroringTest, ExecuteWithoutWritableDefaultProfileFails)
{
    std::filesystem::create_directories(defaultProfile());
    leaveDialog(true, [](MirrorForm& form) { form.remote = "/wanted"; });
    EXPECT_FALSE(mirroring->EditMirrorProfile());
    EXPECT_EQ(mirroring->task.Remote, "/wanted");
    ASSERT_EQ(rig->ui.messages.size(), 1u);
    EXPECT_EQ(rig->ui.messages[0].text, "Unable to write to " + defaultProfile());
}

} // namespace
} // namespace brisk::test
