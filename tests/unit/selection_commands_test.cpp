#include "listing/selection_commands.h"

#include "scripted_user_interface.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace brisk {
namespace {

PanelRow row(int image, std::string name, std::string size = "")
{
    PanelRow result;
    result.image = image;
    result.caption = std::move(name);
    result.size = std::move(size);
    return result;
}

class SelectionCommands : public ::testing::Test {
protected:
    SelectionCommands()
    {
        // Sorted: the directory "notes.txt" first, then a.txt, b.doc, c.TXT.
        panel.setRows({row(kImageFile, "a.txt", "100"), row(kImageFile, "b.doc", "200"),
                       row(kImageDirectory, "notes.txt"), row(kImageFile, "c.TXT", "400")});
    }

    void run(int tag, MainMessage word = msgLocal) { RunSelectionCommand(tag, panel, ui, messages, word, mask); }

    FilePanel panel;
    test::ScriptedUserInterface ui;
    MainMessages messages;
    std::string mask = "*.*";
};

TEST_F(SelectionCommands, SelectAllAndInvertNeedNoPromptOnEitherPanel)
{
    run(1);
    EXPECT_EQ(panel.selectedIndices().size(), 4u);
    panel.setSelected(1, false);
    run(-4, msgFtp);
    EXPECT_EQ(panel.selectedIndices(), (std::vector<size_t> {1}));
    run(4);
    EXPECT_EQ(panel.selectedIndices(), (std::vector<size_t> {0, 2, 3}));
    run(-1, msgFtp);
    EXPECT_EQ(panel.selectedIndices().size(), 4u);
    EXPECT_TRUE(ui.prompts.empty());
    EXPECT_EQ(mask, "*.*");
}

TEST_F(SelectionCommands, MaskAsksWithThePanelWordAndSelectsDirectoriesAlike)
{
    struct Case {
        int tag;
        MainMessage word;
        const char* title;
    };
    for (const Case& c : {Case {3, msgLocal, "Local Filter"}, Case {-3, msgFtp, "FTP Filter"}}) {
        panel.unselectAll();
        mask = "*.*";
        ui.answerPrompt("*.txt");
        run(c.tag, c.word);
        ASSERT_FALSE(ui.prompts.empty());
        const PromptRequest& prompt = ui.prompts.back();
        EXPECT_EQ(prompt.title, c.title);
        EXPECT_EQ(prompt.label, "Mask");
        EXPECT_EQ(prompt.text, "*.*");
        EXPECT_EQ(prompt.maxLength, 255u);
        EXPECT_FALSE(prompt.masked);
        EXPECT_EQ(panel.selectedIndices(), (std::vector<size_t> {0, 1, 3}));
        EXPECT_EQ(panel.selectedTotal(), 500);
        EXPECT_EQ(mask, "*.txt");
    }
}

TEST_F(SelectionCommands, UnselectStartsWithTheLastMaskAndDeselectsMatches)
{
    run(1);
    mask = "*.doc";
    ui.answerPrompt("*.txt,*.doc");
    run(2);
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].text, "*.doc");
    EXPECT_EQ(ui.prompts[0].title, "Local Filter");
    EXPECT_TRUE(panel.selectedIndices().empty());
    EXPECT_EQ(panel.selectedCount(), 0);
    EXPECT_EQ(mask, "*.txt,*.doc");
}

TEST_F(SelectionCommands, CancelChangesNeitherSelectionNorMask)
{
    panel.setSelected(2, true);
    mask = "b.*";
    ui.cancelPrompt();
    run(3);
    ui.cancelPrompt();
    run(-2, msgFtp);
    EXPECT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(panel.selectedIndices(), (std::vector<size_t> {2}));
    EXPECT_EQ(mask, "b.*");
}

TEST_F(SelectionCommands, MaskIsCutToItsLimit)
{
    const std::string kept = "*.txt," + std::string(249, 'x');
    ui.answerPrompt(kept + ",*.doc");
    run(3);
    EXPECT_EQ(mask, kept);
    // "*.doc" was cut off, so b.doc stays unselected.
    EXPECT_EQ(panel.selectedIndices(), (std::vector<size_t> {0, 1, 3}));
}

TEST_F(SelectionCommands, TitlesComeFromTheMessageList)
{
    std::vector<std::string> items = MainMessagesEnglish();
    items[msgLocal] = "Lokal";
    items[msgFilter] = "Filter!";
    items[msgMask] = "Maske";
    messages.msl = MessageList(items);
    ui.answerPrompt("a.*");
    run(3);
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].title, "Lokal Filter!");
    EXPECT_EQ(ui.prompts[0].label, "Maske");
    EXPECT_EQ(panel.selectedIndices(), (std::vector<size_t> {1}));
}

TEST_F(SelectionCommands, UnknownTagsAreUsageErrors)
{
    for (int tag : {0, 5, -5, 100})
        EXPECT_THROW(run(tag), std::invalid_argument) << tag;
    EXPECT_TRUE(ui.prompts.empty());
    EXPECT_EQ(panel.selectedIndex(), -1);
}

} // namespace
} // namespace brisk
