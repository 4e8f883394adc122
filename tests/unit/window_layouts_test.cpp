#include "config/pane_split.h"
#include "config/window_layouts.h"
#include "platform/ini_file.h"
#include "expect_throw.h"
#include "scripted_user_interface.h"
#include "session/main_program.h"
#include "temp_home.h"

#include <gtest/gtest.h>

using namespace brisk;

namespace {

// Each size different, so a key read into the wrong field shows.
LayoutSizes numbered(int32_t first)
{
    LayoutSizes sizes;
    for (const LayoutKey& key : kLayoutKeys)
        sizes.*key.field = first++;
    return sizes;
}

class WindowLayoutsTest : public TempHomeTest {
protected:
    std::string optionsFile() const { return home() + "options.ftp"; }
};

TEST_F(WindowLayoutsTest, WithoutTheSectionTheCapturedSizesStay)
{
    const LayoutSizes captured = numbered(100);
    LayoutSizes sizes = captured;
    LoadLayouts(sizes);
    EXPECT_EQ(sizes, captured) << "no file";

    writeFile(optionsFile(), "[Common]\nTimeOut=20\nLogHeight=5\n");
    LoadLayouts(sizes);
    EXPECT_EQ(sizes, captured) << "a key of another section";
}

TEST_F(WindowLayoutsTest, OnlyTheKeysPresentAndWholeChangeTheirSize)
{
    struct Case {
        const char* section;
        LayoutSizes expected;
    };
    LayoutSizes logOnly = numbered(100);
    logOnly.LogHeight = 250;
    LayoutSizes lastAndNegative = numbered(100);
    lastAndNegative.FtpLinks = -3;
    const Case cases[] = {
        {"LogHeight=250\n", logOnly},
        {"logheight= 250\n", logOnly},
        {"LogHeight=250\nLocal=wide\nFtp=\nLocDirList=12px\nLocFile=99999999999\nLocSize=1.5\n", logOnly},
        {"FtpLinks=-3\nUnknown=7\n", lastAndNegative},
    };
    for (const Case& c : cases) {
        writeFile(optionsFile(), std::string("[Layouts]\n") + c.section);
        LayoutSizes sizes = numbered(100);
        LoadLayouts(sizes);
        EXPECT_EQ(sizes, c.expected) << c.section;
    }
}

TEST_F(WindowLayoutsTest, SavingWritesEveryKeyInOrderAndKeepsTheRestOfTheFile)
{
    SaveLayouts(numbered(1));
    EXPECT_EQ(readFile(optionsFile()),
              "[Layouts]\nLogHeight=1\nLocal=2\nFtp=3\nLocDirList=4\nLocFile=5\nLocSize=6\nLocDate=7\n"
              "LocTime=8\nFtpFile=9\nFtpSize=10\nFtpDate=11\nFtpTime=12\nFtpAttribute=13\nFtpLinks=14\n");

    writeFile(optionsFile(), "[Common]\nTimeOut=42\n[Layouts]\nMine=kept\nLocal=7\n[QuickConnect]\nAddress1=host\n");
    SaveLayouts(numbered(-5));
    const IniFile ini(optionsFile());
    EXPECT_EQ(ini.readString("Common", "TimeOut", ""), "42");
    EXPECT_EQ(ini.readString("QuickConnect", "Address1", ""), "host");
    EXPECT_EQ(ini.readString("Layouts", "Mine", ""), "kept");
    LayoutSizes read;
    LoadLayouts(read);
    EXPECT_EQ(read, numbered(-5));
}

TEST_F(WindowLayoutsTest, AnUnwritableFileIsReportedByItsPath)
{
    std::filesystem::create_directory(optionsFile());
    test::expectThrowWhat<IniWriteError>([] { SaveLayouts(LayoutSizes{}); }, "Unable to write to " + optionsFile());

    test::ScriptedUserInterface ui;
    MainProgram program(ui);
    EXPECT_FALSE(program.SaveLayout(LayoutSizes{}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Attention");
    EXPECT_EQ(ui.messages[0].text, "Unable to write to " + optionsFile());
}

TEST(PaneSplitTest, SizesThatDoNotFitKeepEveryPaneVisible)
{
    struct Case {
        int room, first, minimum;
        PaneSplit expected;
    };
    const Case fixed[] = {
        {600, 150, 50, {150, 450}},
        {600, 5000, 50, {550, 50}},
        {600, -20, 50, {50, 550}},
        {60, 40, 50, {30, 30}},
        {-10, 40, 50, {0, 0}},
    };
    for (const Case& c : fixed)
        EXPECT_EQ(SplitFixed(c.room, c.first, c.minimum), c.expected) << c.room << " " << c.first;

    struct Proportion {
        int room, first, second, minimum;
        PaneSplit expected;
    };
    const Proportion proportional[] = {
        {900, 300, 600, 100, {300, 600}},
        {1200, 300, 600, 100, {400, 800}},
        {1000, 1, 2, 100, {333, 667}},
        {1000, 0, 0, 100, {500, 500}},
        {1000, -4, -4, 100, {500, 500}},
        {1000, 2147483647, 2147483647, 100, {500, 500}},
        {1000, 10, 10000, 150, {150, 850}},
    };
    for (const Proportion& c : proportional)
        EXPECT_EQ(SplitProportional(c.room, c.first, c.second, c.minimum), c.expected)
            << c.room << " " << c.first << ":" << c.second;
}

} // namespace
