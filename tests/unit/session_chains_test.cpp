// The attribute and rename chains against the in-memory tree: what they send, how a refusal or Stop
// ends them, and that nothing of them is left for a later completion to resume.
#include "session/attribute_form.h"
#include "tree_session_test.h"

#include <gtest/gtest.h>

namespace brisk::test {
namespace {

class ChainsTest : public TreeSessionTest {
protected:
    void SetUp() override
    {
        TreeSessionTest::SetUp();
        for (const char* path : {"/a.txt", "/abc", "/b.txt", "/c.txt", "/ReadMe.TXT", "/-my file.txt"})
            server.addFile(path);
        server.addDir("/dir");
        ASSERT_TRUE(open());
    }
    void changeCase()
    {
        select({"abc", "ReadMe.TXT"});
        rig->c.ChangeCaseRemote(2);
    }
    // The dialog answers with `mode` typed into the edit and "Apply".
    void typeMode(const std::string& mode)
    {
        rig->ui.attributeEditor = [this, mode](AttributeForm& form) {
            shown = form.entries();
            return form.editModeText(mode) && form.apply();
        };
    }
    // A ".." row in front, as a listing that names the parent gives it.
    void addUpRow()
    {
        std::vector<PanelRow> rows(rig->c.remote.panel.rows().begin(), rig->c.remote.panel.rows().end());
        PanelRow up;
        up.image = kImageUp;
        up.caption = "..";
        rows.push_back(up);
        rig->c.remote.panel.setRows(PanelRows(rows));
    }
    // Nothing is left behind: a later raw command is followed only by the usual refresh.
    void expectNothingLeft()
    {
        EXPECT_FALSE(rig->c.commandRunning());
        EXPECT_FALSE(rig->c.abortMark());
        EXPECT_EQ(run([&] { rig->c.SendRawCommand("NOOP"); }), (Strings{"NOOP", "CWD /", "LIST"}));
    }

    std::vector<AttributeEntry> shown;
};

TEST_F(ChainsTest, ChangesTheSelectedFileAndDirectoryButNotTheParent)
{
    addUpRow();
    select({"..", "dir", "a.txt"});
    typeMode("700");
    EXPECT_EQ(run([&] { rig->c.ChangeAttributes(); }), (Strings{"SITE CHMOD 700 dir", "SITE CHMOD 700 a.txt", "LIST"}));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].name + " " + std::to_string(shown[0].mode), "dir 755");
    EXPECT_EQ(shown[1].name + " " + std::to_string(shown[1].mode), "a.txt 644");
    EXPECT_EQ(server.modeOf("/dir"), "700");
    EXPECT_EQ(server.modeOf("/a.txt"), "700");
    EXPECT_EQ(loggedWith("Attributes changed:"), (Strings{"Attributes changed: 2, failed: 0"}));
}

// The name is the rest of the line after the mode: not quoted, not split, a leading dash kept.
TEST_F(ChainsTest, SendsANameWithBlanksAndALeadingDashAsItIs)
{
    select({"-my file.txt"});
    rig->ui.attributeEditor = [](AttributeForm& form) {
        form.clickBox(2);
        return form.apply();
    };
    EXPECT_EQ(run([&] { rig->c.ChangeAttributes(); }), (Strings{"SITE CHMOD 744 -my file.txt", "LIST"}));
    EXPECT_EQ(server.modeOf("/-my file.txt"), "744");
}

// A name that would split the command, or a mode that is no mode, is never sent.
TEST_F(ChainsTest, ChmodSkipsNamesAndModesThatCannotBeSent)
{
    EXPECT_EQ(run([&] {
                  rig->c.chmodChain().start(
                      {{"a.txt\r\nDELE c.txt", 644}, {"b.txt", 800}, {"..", 644}, {"c.txt", 640}});
              }),
              (Strings{"SITE CHMOD 640 c.txt", "LIST"}));
    EXPECT_EQ(loggedWith("Skipped").size(), 3u);
    EXPECT_EQ(loggedWith("Attributes changed:"), (Strings{"Attributes changed: 1, failed: 3"}));
    EXPECT_TRUE(server.exists("/c.txt"));
}

TEST_F(ChainsTest, CancelOrNothingChangedSendsNothing)
{
    select({"a.txt", "b.txt"});
    rig->ui.attributeEditor = [](AttributeForm&) { return false; };
    EXPECT_TRUE(run([&] { rig->c.ChangeAttributes(); }).empty());
    typeMode("644");
    EXPECT_TRUE(run([&] { rig->c.ChangeAttributes(); }).empty());
    EXPECT_EQ(rig->ui.attributeEdits, 2);
    EXPECT_FALSE(rig->c.commandRunning());
}

// A refused entry is logged and the others still go out; the end counts both.
TEST_F(ChainsTest, ARefusedAttributeChangeDoesNotHoldUpTheOthers)
{
    select({"a.txt", "b.txt", "c.txt"});
    typeMode("600");
    server.peer().onLine("SITE CHMOD 600 b.txt", "550 Refused.\r\n");
    EXPECT_EQ(run([&] { rig->c.ChangeAttributes(); }),
              (Strings{"SITE CHMOD 600 a.txt", "SITE CHMOD 600 b.txt", "SITE CHMOD 600 c.txt", "LIST"}));
    EXPECT_EQ(loggedWith("Error"), (Strings{"Error 550 Refused."}));
    EXPECT_EQ(loggedWith("Attributes changed:"), (Strings{"Attributes changed: 2, failed: 1"}));
    EXPECT_EQ(server.modeOf("/c.txt"), "600");
    expectNothingLeft();
}

// Stop lets the command under way finish (and counts it), then ends the run.
TEST_F(ChainsTest, StopEndsTheAttributeRunAfterTheCommandUnderWay)
{
    select({"a.txt", "b.txt", "c.txt"});
    typeMode("600");
    server.peer().onLine("SITE CHMOD 600 b.txt", "550 Refused.\r\n");
    EXPECT_EQ(run([&] {
                  rig->c.ChangeAttributes();
                  ASSERT_TRUE(pumpUntil([&] { return rig->logged("> SITE CHMOD 600 b.txt"); }, 20000));
                  rig->c.StopTransfer();
                  EXPECT_TRUE(rig->c.chmodChain().stopping());
              }),
              (Strings{"SITE CHMOD 600 a.txt", "SITE CHMOD 600 b.txt", "LIST"}));
    EXPECT_EQ(loggedWith("Attributes changed:"), (Strings{"Attributes changed: 1, failed: 1"}));
    EXPECT_EQ(server.modeOf("/c.txt"), "");
    expectNothingLeft();
}

TEST_F(ChainsTest, OffersAttributesOnlyForASelectionWhileTheEngineIsFree)
{
    EXPECT_FALSE(rig->c.canChangeAttributes());
    addUpRow();
    select({".."});
    EXPECT_FALSE(rig->c.canChangeAttributes());
    select({"a.txt"});
    EXPECT_TRUE(rig->c.canChangeAttributes());
    rig->c.Refresh3Click();
    EXPECT_FALSE(rig->c.canChangeAttributes());
    ASSERT_TRUE(rig->waitIdle());
    rig->c.Disconnect();
    ASSERT_TRUE(rig->waitSiteList());
    EXPECT_FALSE(rig->c.canChangeAttributes());
}

// A refused rename ends the chain: the rest is not sent and the panel shows what did change.
TEST_F(ChainsTest, ARefusedRenameEndsTheChain)
{
    server.peer().onLine("RNFR ReadMe.TXT", "550 Refused.\r\n");
    EXPECT_EQ(run([&] { changeCase(); }), (Strings{"RNFR abc", "RNTO Abc", "RNFR ReadMe.TXT", "LIST /"}));
    EXPECT_EQ(loggedWith("Error").size(), 1u);
    expectNothingLeft();
}

// A directory's new name is asked for in one text, whether it is made or renamed.
TEST_F(ChainsTest, MakingAndRenamingADirectoryAskInTheSameWords)
{
    rig->ui.answerPrompt("made");
    EXPECT_EQ(run([&] { rig->c.MakeRemoteDir(); }), (Strings{"MKD made", "LIST"}));
    select({"dir"});
    rig->ui.answerPrompt("renamed");
    EXPECT_EQ(run([&] { rig->c.RenameRemote(); }), (Strings{"RNFR dir", "RNTO renamed", "LIST /"}));

    // The same for a folder of the site list.
    rig->c.Disconnect();
    ASSERT_TRUE(rig->waitSiteList());
    rig->ui.answerPrompt("Work");
    rig->c.MakeRemoteDir();
    rig->ui.answerPrompt("Home");
    rig->c.sites.RenameSiteFolder();
    ASSERT_EQ(rig->ui.prompts.size(), 4u);
    const std::string made = "Create Directory / Enter new directory name: /  / 255";
    const std::string renamed = "Rename Directory / Enter new directory name: / ";
    EXPECT_EQ(rig->ui.prompt(0), made);
    EXPECT_EQ(rig->ui.prompt(1), renamed + "dir / 255");
    EXPECT_EQ(rig->ui.prompt(2), made);
    EXPECT_EQ(rig->ui.prompt(3), renamed + "Work / 255");
}

// Stop ends the chain once the request under way has completed, and the panel is refreshed.
TEST_F(ChainsTest, StopEndsTheRenameChainAfterTheRequestUnderWay)
{
    EXPECT_EQ(run([&] {
                  changeCase();
                  ASSERT_TRUE(pumpUntil([&] { return rig->logged("> RNTO Abc"); }, 20000));
                  rig->c.StopTransfer();
                  EXPECT_TRUE(rig->c.renameChain().stopping());
              }),
              (Strings{"RNFR abc", "RNTO Abc", "LIST /"}));
    EXPECT_TRUE(loggedWith("Error").empty());
    expectNothingLeft();
}

// Stop (or Escape closing a drop-down) with nothing running leaves no mark behind: the next
// refresh lists the directory instead of aborting and dropping the session.
TEST_F(ChainsTest, StopWithNothingRunningDoesNothing)
{
    const int changes = rig->ui.changes;
    rig->c.StopTransfer();
    EXPECT_FALSE(rig->c.abortMark());
    EXPECT_EQ(rig->ui.changes, changes);
    const uint64_t before = rig->c.listingsShown();
    EXPECT_EQ(run([&] { rig->c.Refresh3Click(); }), (Strings{"LIST"}));
    EXPECT_GT(rig->c.listingsShown(), before);
    EXPECT_FALSE(rig->c.SiteListMode());
    EXPECT_TRUE(loggedWith("Error").empty());
}

} // namespace
} // namespace brisk::test
