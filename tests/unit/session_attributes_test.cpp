#include "session/attribute_form.h"
#include "tree_session_test.h"

#include <gtest/gtest.h>

namespace brisk::test {
namespace {

class AttributesTest : public TreeSessionTest {
protected:
    void SetUp() override
    {
        TreeSessionTest::SetUp();
        for (const char* path : {"/a.txt", "/b.txt", "/c.txt", "/-my file.txt"})
            server.addFile(path);
        server.addDir("/dir");
        ASSERT_TRUE(open());
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

    std::vector<AttributeEntry> shown;
};

TEST_F(AttributesTest, ChangesTheSelectedFileAndDirectoryButNotTheParent)
{
    addUpRow();
    select({"..", "dir", "a.txt"});
    typeMode("700");
    EXPECT_EQ(run([&] { rig->c.ChangeAttributes(); }), (Strings{"SITE CHMOD 700 dir", "SITE CHMOD 700 a.txt", "LIST"}));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].name, "dir");
    EXPECT_EQ(shown[0].mode, 755);
    EXPECT_EQ(shown[1].name, "a.txt");
    EXPECT_EQ(shown[1].mode, 644);
    EXPECT_EQ(server.modeOf("/dir"), "700");
    EXPECT_EQ(server.modeOf("/a.txt"), "700");
    EXPECT_EQ(loggedWith("Attributes changed:"), (Strings{"Attributes changed: 2, failed: 0"}));
}

// The name is the rest of the line after the mode: not quoted, not split, a leading dash kept.
TEST_F(AttributesTest, SendsANameWithBlanksAndALeadingDashAsItIs)
{
    select({"-my file.txt"});
    rig->ui.attributeEditor = [](AttributeForm& form) {
        form.clickBox(2);
        return form.apply();
    };
    EXPECT_EQ(run([&] { rig->c.ChangeAttributes(); }), (Strings{"SITE CHMOD 744 -my file.txt", "LIST"}));
    EXPECT_EQ(server.modeOf("/-my file.txt"), "744");
}

TEST_F(AttributesTest, CancelOrNothingChangedSendsNothing)
{
    select({"a.txt", "b.txt"});
    rig->ui.attributeEditor = [](AttributeForm&) { return false; };
    EXPECT_TRUE(run([&] { rig->c.ChangeAttributes(); }).empty());
    typeMode("644");
    EXPECT_TRUE(run([&] { rig->c.ChangeAttributes(); }).empty());
    EXPECT_EQ(rig->ui.attributeEdits, 2);
    EXPECT_TRUE(rig->c.operationFlags().empty());
}

// A refused entry is logged and the others still go out; the end counts both, and no flag is
// left for a later raw command to resume anything with.
TEST_F(AttributesTest, ARefusedEntryDoesNotHoldUpTheOthers)
{
    select({"a.txt", "b.txt", "c.txt"});
    typeMode("600");
    server.peer().onLine("SITE CHMOD 600 b.txt", "550 Refused.\r\n");
    EXPECT_EQ(run([&] { rig->c.ChangeAttributes(); }),
              (Strings{"SITE CHMOD 600 a.txt", "SITE CHMOD 600 b.txt", "SITE CHMOD 600 c.txt", "LIST"}));
    EXPECT_EQ(loggedWith("Error"), (Strings{"Error 550 Refused."}));
    EXPECT_EQ(loggedWith("Attributes changed:"), (Strings{"Attributes changed: 2, failed: 1"}));
    EXPECT_EQ(server.modeOf("/c.txt"), "600");
    EXPECT_TRUE(rig->c.operationFlags().empty());

    rig->c.Ftp1.LocalFileName = "NOOP";
    EXPECT_EQ(run([&] { rig->c.Ftp1.QuoteAsync(); }), (Strings{"NOOP", "CWD /", "LIST"}));
}

// Stop lets the command under way finish (and counts it), then ends the run.
TEST_F(AttributesTest, StopEndsTheRunAfterTheCommandUnderWay)
{
    select({"a.txt", "b.txt", "c.txt"});
    typeMode("600");
    server.peer().onLine("SITE CHMOD 600 b.txt", "550 Refused.\r\n");
    EXPECT_EQ(run([&] {
                  rig->c.ChangeAttributes();
                  ASSERT_TRUE(pumpUntil([&] { return rig->logged("> SITE CHMOD 600 b.txt"); }, 20000));
                  rig->c.StopTransfer();
              }),
              (Strings{"SITE CHMOD 600 a.txt", "SITE CHMOD 600 b.txt", "LIST"}));
    EXPECT_EQ(loggedWith("Attributes changed:"), (Strings{"Attributes changed: 1, failed: 1"}));
    EXPECT_EQ(server.modeOf("/c.txt"), "");
}

TEST_F(AttributesTest, OffersTheCommandOnlyForASelectionWhileTheEngineIsFree)
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

} // namespace
} // namespace brisk::test
