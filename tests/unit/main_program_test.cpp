#include "config/options_store.h"
#include "platform/ini_file.h"
#include "scripted_user_interface.h"
#include "session/main_program.h"
#include "temp_home.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace brisk {
namespace {

using Strings = std::vector<std::string>;

class MainProgramTest : public TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        if (const char* home = std::getenv("HOME"))
            savedHome_ = home;
    }
    void TearDown() override
    {
        savedHome_ ? ::setenv("HOME", savedHome_->c_str(), 1) : ::unsetenv("HOME");
        TempHomeTest::TearDown();
    }

    test::ScriptedUserInterface ui;

private:
    std::optional<std::string> savedHome_;
};

// Without an options file the defaults are applied; a commands file of one line gives no commands.
TEST_F(MainProgramTest, StartsWithDefaultsAndWithoutBrokenCommands)
{
    writeFile(home() + "commands.txt", "a,b\n");
    MainProgram program(ui);
    EXPECT_TRUE(program.session.SiteListMode());
    EXPECT_TRUE(program.session.enabled(Action::Connect));
    EXPECT_FALSE(program.session.enabled(Action::Disconnect));
    EXPECT_EQ(program.session.Ftp1.Timeout, 15) << "the options were applied";
    EXPECT_TRUE(program.settings.commands.labels.empty());
    EXPECT_TRUE(program.settings.commands.commands.empty());
}

TEST_F(MainProgramTest, QuitQuestionAndWhatIsSaved)
{
    {
        MainProgram program(ui);
        ui.answerNo();
        EXPECT_FALSE(program.CloseQuery());
        ASSERT_EQ(ui.questions.size(), 1u);
        EXPECT_EQ(ui.questions[0].caption + ": " + ui.questions[0].text, "Attention: Do you want to quit the program?");
        EXPECT_FALSE(std::filesystem::exists(home() + "options.ftp")) << "No saves nothing";

        ui.answerYes();
        ASSERT_TRUE(program.CloseQuery());
        program.settings.options.TimeOut = 42;
        program.settings.commands = {{"List, long", "Space"}, {"LIST -a,-l", "SITE \"HELP\" X"}};
        EXPECT_TRUE(program.Close());
    }
    MainProgram again(ui);
    EXPECT_EQ(again.settings.options.TimeOut, 42);
    EXPECT_EQ(again.settings.commands.labels, (Strings{"List, long", "Space"}));
    EXPECT_EQ(again.settings.commands.commands, (Strings{"LIST -a,-l", "SITE \"HELP\" X"}));
}

// The start folder from the options, else the user's home: what older versions saved there, the
// settings folder itself, is no start folder of the user's.
TEST_F(MainProgramTest, StartsInTheIniPathElseInTheHomeDirectory)
{
    for (const bool settingsFolder : {false, true}) {
        const std::string start = home() + (settingsFolder ? "user" : "start");
        writeFile(start + "/here.txt", "x");
        ::setenv("HOME", (home() + "user").c_str(), 1);
        IniFile ini(OptionsFilePath());
        ini.writeString("Common", "IniPath", settingsFolder ? home() : start);
        ini.save();
        MainProgram program(ui);
        EXPECT_EQ(program.local.currentDir(), start);
        ASSERT_EQ(program.local.panel().size(), 1u);
        EXPECT_EQ(program.local.panel().rows()[0].caption, "here.txt");
    }
}

} // namespace
} // namespace brisk
