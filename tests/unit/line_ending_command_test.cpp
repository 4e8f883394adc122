// "Carriage Return" on the local panel: which rows it takes, the dialog's answer, and one file per
// turn of the event loop.
#include "local/line_ending_command.h"

#include "local/local_panel.h"
#include "platform/event_loop.h"
#include "file_io.h"
#include "scripted_user_interface.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace brisk {
namespace {

namespace fs = std::filesystem;

class LineEndingCommandTest : public ::testing::Test {
protected:
    LineEndingCommandTest() : saved_(fs::current_path().string()), root_(fs::canonical(temp_.path()).string())
    {
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            test::writeFileBytes(root_ + "/" + name, "x\r\ny\r\n");
        fs::create_directory(root_ + "/dir");
        local_.emplace(ui, messages, root_);
        command.emplace(ui, messages, *local_, LogLines{[this](const std::string& text) {
                                                            lines.push_back(text);
                                                            return lines.size() - 1;
                                                        },
                                                        [this](size_t index, const std::string& text) {
                                                            lines.at(index) += text;
                                                        }});
    }
    ~LineEndingCommandTest() override { EXPECT_EQ(::chdir(saved_.c_str()), 0); }

    void select(std::initializer_list<const char*> names)
    {
        FilePanel& panel = local_->panel();
        for (const char* name : names)
            for (size_t i = 0; i < panel.size(); ++i)
                if (panel.rows().caption(i) == name)
                    panel.setSelected(i, true);
    }
    std::string read(const std::string& name) const { return test::readFileBytes(root_ + "/" + name); }
    // Runs one posted turn of the event loop, if there is one.
    static void oneTurn() { EventLoop::instance().pumpOnce(0); }

    std::string saved_;
    test::TempDir temp_;
    std::string root_;
    test::ScriptedUserInterface ui;
    MainMessages messages;
    std::optional<LocalPanel> local_;
    std::vector<std::string> lines;
    std::optional<LineEndingCommand> command;
};

TEST_F(LineEndingCommandTest, ConvertsTheSelectedFilesOnePerTurnAndSkipsDirectories)
{
    select({"dir", "a.txt", "c.txt"});
    ui.answerLineEnding(int(LineEnding::Lf));
    command->ConvertLineEndings();
    EXPECT_EQ(lines, std::vector<std::string>{"Converting file: " + root_ + "/a.txt ... Ok!"});
    EXPECT_EQ(command->pending(), 1u);
    oneTurn();
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines.back(), "Converting file: " + root_ + "/c.txt ... Ok!");
    EXPECT_EQ(command->pending(), 0u);
    EXPECT_EQ(read("a.txt"), "x\ny\n");
    EXPECT_EQ(read("b.txt"), "x\r\ny\r\n");
    EXPECT_EQ(read("c.txt"), "x\ny\n");
    EXPECT_EQ(local_->panel().selectedCount(), 2);   // the panel is left as it was
}

// "Do not change" (and Cancel, which answers the same) converts nothing; a directory alone asks nothing.
TEST_F(LineEndingCommandTest, NothingHappensWithoutAChoiceOrAFile)
{
    select({"a.txt"});
    ui.answerLineEnding(int(LineEnding::Unchanged));
    command->ConvertLineEndings();
    oneTurn();
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(read("a.txt"), "x\r\ny\r\n");

    local_->panel().unselectAll();
    select({"dir"});
    EXPECT_FALSE(HasSelectedFile(*local_));
    command->ConvertLineEndings();
    EXPECT_EQ(ui.lineEndingDialogs, 1);
}

TEST_F(LineEndingCommandTest, ACommandGoneTakesItsTurnsWithIt)
{
    select({"a.txt", "b.txt", "c.txt"});
    ui.answerLineEnding(int(LineEnding::Lf));
    command->ConvertLineEndings();
    command.reset();
    for (int turn = 0; turn < 3; ++turn)
        oneTurn();
    EXPECT_EQ(lines.size(), 1u);
    EXPECT_EQ(read("c.txt"), "x\r\ny\r\n");
}

} // namespace
} // namespace brisk
