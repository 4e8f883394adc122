#include "mirror/mirror_deletion.h"
#include "scripted_user_interface.h"
#include "temp_home.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace brisk {
namespace {

TEST(MirrorDeletion, AsksOnlyWhenThePromptIsOn)
{
    test::ScriptedUserInterface ui;
    const MainMessages messages;
    TRecMirror task;
    task.Params = mpIncludeSubfolders;
    EXPECT_TRUE(ConfirmMirrorDelete(task, "/pub/x", true, ui, messages));
    task.Params |= mpPromptBeforeDelete;
    ui.answerNo();
    EXPECT_FALSE(ConfirmMirrorDelete(task, "/pub/x", true, ui, messages));
    ui.answerYes();
    EXPECT_TRUE(ConfirmMirrorDelete(task, "/home/u/a.txt", false, ui, messages));
    ASSERT_EQ(ui.questions.size(), 2u);
    EXPECT_EQ(ui.questions[0].caption, "Attention");
    EXPECT_EQ(ui.questions[0].text, "Do you wish to remove /pub/x folder(es)");
    EXPECT_EQ(ui.questions[1].text, "Do you wish to remove /home/u/a.txt file(s)");
}

class LocalTreeTest : public TempHomeTest {};

TEST_F(LocalTreeTest, RemovesTheTreeButNeverWhatLinksPointTo)
{
    writeFile(home() + "outside/keep.txt", "k");
    writeFile(home() + "tree/a/b/c.txt", "c");
    std::filesystem::create_symlink(home() + "outside", home() + "tree/a/link");
    std::filesystem::create_symlink(home() + "outside", home() + "rootlink");
    DeleteLocalTree(home() + "tree");
    DeleteLocalTree(home() + "rootlink");
    EXPECT_FALSE(std::filesystem::exists(home() + "tree"));
    EXPECT_FALSE(std::filesystem::is_symlink(home() + "rootlink"));
    EXPECT_TRUE(std::filesystem::exists(home() + "outside/keep.txt"));
}

} // namespace
} // namespace brisk
