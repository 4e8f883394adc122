#include "mirror/mirror_profile.h"
#include "mirror/mirroring.h"
#include "tree_session_test.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace brisk::test {
namespace {

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
        EXPECT_EQ(seen->local, home());
        EXPECT_EQ(seen->remote, "/");
        EXPECT_EQ(seen->direction, tag);
        EXPECT_EQ(seen->fileExists, tag == 1 ? 0 : 3);   // the start value, then the last Execute's
        EXPECT_EQ(mirroring->task.Direction, tag);
        EXPECT_EQ(mirroring->task.FileExists, 3);
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
    EXPECT_EQ(run([&] { mirroring->miSyncDir1Click(1); }),
              (Strings{"CWD /pub", "LIST", "RETR r.txt", "CWD /pub/", "LIST"}));
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
