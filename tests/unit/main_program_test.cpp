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
        if (savedHome_)
            ::setenv("HOME", savedHome_->c_str(), 1);
        else
            ::unsetenv("HOME");
        TempHomeTest::TearDown();
    }

private:
    std::optional<std::string> savedHome_;
};

TEST_F(MainProgramTest, StartsWithDefaultsWhenNoFileExists)
{
    test::ScriptedUserInterface ui;
    MainProgram program(ui);
    EXPECT_TRUE(program.session.SiteListMode());
    EXPECT_TRUE(program.session.enabled(Action::Connect));
    EXPECT_FALSE(program.session.enabled(Action::Disconnect));
    EXPECT_TRUE(program.settings.commands.labels.empty());
    EXPECT_EQ(program.session.Ftp1.Timeout, 15) << "the options were applied";
    EXPECT_EQ(program.session.transferChain().type, TransferType::Auto);
    EXPECT_EQ(program.helpFile, home() + "tolvax.hlp");
    EXPECT_EQ(program.session.siteList.entries().size(), 0u);
    EXPECT_EQ(program.session.remote.filterMask, "*.*");
    EXPECT_EQ(program.local.filterMask(), "*.*");
}

TEST_F(MainProgramTest, QuitQuestionAndWhatIsSaved)
{
    {
        test::ScriptedUserInterface ui;
        MainProgram program(ui);
        ui.answerNo();
        EXPECT_FALSE(program.CloseQuery());
        ASSERT_EQ(ui.questions.size(), 1u);
        EXPECT_EQ(ui.questions[0].caption, "Attention");
        EXPECT_EQ(ui.questions[0].text, "Do you want to quit the program?");
        EXPECT_FALSE(std::filesystem::exists(home() + "options.ftp")) << "No saves nothing";

        ui.answerYes();
        ASSERT_TRUE(program.CloseQuery());
        program.settings.options.TimeOut = 42;
        program.settings.commands.labels = {"List, long", "Space"};
        program.settings.commands.commands = {"LIST -a,-l", "SITE \"HELP\" X"};
        EXPECT_TRUE(program.Close());
    }
    EXPECT_TRUE(std::filesystem::exists(home() + "options.ftp"));
    EXPECT_TRUE(std::filesystem::exists(home() + "commands.txt"));

    test::ScriptedUserInterface ui;
    MainProgram again(ui);
    EXPECT_EQ(again.settings.options.TimeOut, 42);
    EXPECT_EQ(again.settings.commands.labels, (std::vector<std::string>{"List, long", "Space"}));
    EXPECT_EQ(again.settings.commands.commands, (std::vector<std::string>{"LIST -a,-l", "SITE \"HELP\" X"}));
}

TEST_F(MainProgramTest, ACommandsFileWithOneLineGivesEmptyLists)
{
    writeFile(home() + "commands.txt", "a,b\n");
    test::ScriptedUserInterface ui;
    MainProgram program(ui);
    EXPECT_TRUE(program.settings.commands.labels.empty());
    EXPECT_TRUE(program.settings.commands.commands.empty());
}

TEST_F(MainProgramTest, StartsInTheIniPathDirectory)
{
    std::filesystem::create_directories(home() + "start");
    writeFile(home() + "start/here.txt", "x");
    IniFile ini(OptionsFilePath());
    ini.writeString("Common", "IniPath", home() + "start");
    ini.save();
    test::ScriptedUserInterface ui;
    MainProgram program(ui);
    EXPECT_EQ(program.local.currentDir(), home() + "start");
    ASSERT_EQ(program.local.panel().size(), 1u);
    EXPECT_EQ(program.local.panel().rows()[0].caption, "here.txt");
}

TEST_F(MainProgramTest, StartsInTheHomeDirectoryWhenNoStartFolderIsSet)
{
    const std::string user = home() + "user";
    std::filesystem::create_directories(user);
    writeFile(user + "/mine.txt", "x");
    ::setenv("HOME", user.c_str(), 1);
    // What older versions saved: the settings folder itself, which is no start folder of the user's.
    IniFile ini(OptionsFilePath());
    ini.writeString("Common", "IniPath", home());
    ini.save();
    test::ScriptedUserInterface ui;
    MainProgram program(ui);
    EXPECT_EQ(program.local.currentDir(), user);
    ASSERT_EQ(program.local.panel().size(), 1u);
    EXPECT_EQ(program.local.panel().rows()[0].caption, "mine.txt");
}

} // namespace
} // namespace brisk
