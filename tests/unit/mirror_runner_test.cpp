// Mirror runs against the in-memory tree, started from the dialog or by the runner itself.
#include "file_io.h"
#include "file_tree.h"
#include "tree_session_test.h"

#include "mirror/mirror_profile.h"
#include "mirror/mirror_runner.h"
#include "mirror/mirroring.h"

#include <gtest/gtest.h>

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
        task.FileExists = 0;
    }
    Strings mirror(uint8_t direction)
    {
        task.Direction = direction;
        runner = std::make_unique<MirrorRunner>(rig->c, task);
        return run([&] { rig->c.mirror().send(0, 0); });
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
    task.FileExists = 3;
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
// entered and emptied, its subdirectories first, then left and removed.
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
    EXPECT_EQ(mirror(0), (Strings{"CWD /site", "LIST", "STOR a.txt", "DELE gone.txt", "MKD /site/d", "CWD /site/d",
                                  "LIST", "STOR b.txt", "CDUP", "LIST", "CWD /site/old", "LIST", "DELE f.txt",
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
    rig->c.mirror().onMessage = [this](int param, int value) {
        if (param == 3)
            rig->c.StopTransfer();
        runner->MirrorStep(param, value);
    };
    EXPECT_EQ(run([&] { rig->c.mirror().send(0, 0); }),
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
    EXPECT_EQ(run([&] { rig->c.mirror().send(0, 0); }),
              (Strings{"CWD /site", "LIST", "CWD /site/sub", "LIST", "CDUP", "LIST", "CWD /site/", "LIST"}));
    EXPECT_EQ(runner->run()->Items.Count(), 9);
    EXPECT_EQ(treeOf(local), (std::map<std::string, std::string>{{"c.txt", "c"}, {"new", "<dir>"}}));
    EXPECT_FALSE(server.exists("/site/c.txt"));
    EXPECT_EQ(state(), "earlier");
}

class MirroringTest : public TreeSessionTest {
protected:
    void SetUp() override
    {
        TreeSessionTest::SetUp();
        server.addDir("/pub");
        ASSERT_TRUE(open());
        rig->local.dir = home();
        mirroring = std::make_unique<Mirroring>(rig->c, rig->local, rig->ui);
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
                                                  std::to_string(tag) + "\nFile Exists=3\nExclusions=\nParams=26\n");
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
