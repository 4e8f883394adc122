#include "config/options_store.h"
#include "config/pane_split.h"
#include "config/window_layouts.h"
#include "platform/comma_text.h"
#include "platform/ini_file.h"
#include "platform/program_dir.h"
#include "session/main_program.h"

#include "expect_throw.h"
#include "scripted_user_interface.h"
#include "temp_home.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace brisk::options_store_test {

using Strings = std::vector<std::string>;

class OptionsStoreTest : public TempHomeTest {
protected:
    void load()
    {
        options = TFTPOptions{};
        lang = TLang{};
        fonts = ListFonts{};
        LoadOptions(options, lang, fonts);
    }
    void loadFrom(const std::string& text)
    {
        writeFile(optionsFile(), text);
        load();
    }
    std::string optionsFile() const { return home() + "options.ftp"; }

    TFTPOptions options;
    TLang lang;
    ListFonts fonts;
};

TEST_F(OptionsStoreTest, MissingFileGivesEveryDefault)
{
    load();
    TFTPOptions expected;
    expected.LogFile = home() + "tolvaxe.log";
    expected.ListingTempFile = home() + "FTPDIR" + std::to_string(::getpid()) + ".TXT";
    EXPECT_EQ(options, expected);
    EXPECT_EQ(lang, TLang{});
    EXPECT_EQ(fonts, ListFonts{});
    EXPECT_FALSE(std::filesystem::exists(optionsFile()));
}

// Bad numbers give defaults, wide values keep their low bits, and only IniPath may be empty.
TEST_F(OptionsStoreTest, BadNumbersAndWideValues)
{
    loadFrom("[common]\nTimeOut=soon\nretry=3\nConnectionType=258\nTimeZone=65541\nPassiveTransfer=7\n"
             "LogSize=\nKeep=x\nLogFile=\nIniPath=\n");
    EXPECT_EQ((std::vector<int>{options.TimeOut, options.Retry, options.ConnectionType, options.TimeZone, options.LogSize}),
              (std::vector<int>{15, 3, 2, 5, 10000}));
    EXPECT_TRUE(options.PassiveTransfer);
    EXPECT_FALSE(options.Keep);
    EXPECT_EQ(options.LogFile, home() + "tolvaxe.log");
    EXPECT_EQ(options.IniPath, "");
}

TEST_F(OptionsStoreTest, AStoredStartFolderIsKeptUnlessItIsTheSettingsFolder)
{
    for (const std::string& settings : {home(), home().substr(0, home().size() - 1)}) {
        loadFrom("[common]\nIniPath=" + settings + "\n");
        EXPECT_EQ(options.IniPath, "") << settings;
    }
    loadFrom("[common]\nIniPath=" + home() + "work\n");
    EXPECT_EQ(options.IniPath, home() + "work");
}

// MaxListing is in mebibytes; SizeDisplay is one of three modes, grouped digits for anything else;
// Transfers 1-10, else 2; the rate limits are KiB/s, none for anything below 0.
TEST_F(OptionsStoreTest, NumbersTakeTheirDefaultForUnusableValues)
{
    const auto max = &TFTPOptions::MaxListingMiB, view = &TFTPOptions::SizeDisplayMode;
    const auto transfers = &TFTPOptions::Transfers, down = &TFTPOptions::DownLimit, up = &TFTPOptions::UpLimit;
    const std::tuple<const char*, int32_t TFTPOptions::*, int32_t> cases[] = {
        {"[Common]\n", max, 1024}, {"[Common]\nMaxListing=\n", max, 1024}, {"[Common]\nMaxListing=lots\n", max, 1024},
        {"[Common]\nMaxListing=-1\n", max, 1024}, {"[Common]\nMaxListing=0\n", max, 0}, {"[Common]\nMaxListing=5\n", max, 5},
        {"[Common]\nMaxListing=2147483647\n", max, 2147483647}, {"[View]\n", view, 1}, {"[View]\nSizeDisplay=0\n", view, 0},
        {"[View]\nSizeDisplay=2\n", view, 2}, {"[View]\nSizeDisplay=3\n", view, 1}, {"[View]\nSizeDisplay=-1\n", view, 1},
        {"[View]\nSizeDisplay=KiB\n", view, 1}, {"[Common]\n", transfers, 2}, {"[Common]\nTransfers=1\n", transfers, 1},
        {"[Common]\nTransfers=10\n", transfers, 10}, {"[Common]\nTransfers=11\n", transfers, 2},
        {"[Common]\nTransfers=0\n", transfers, 2}, {"[Common]\nDownLimit=-5\n", down, 0},
        {"[Common]\nDownLimit=300\n", down, 300}, {"[Common]\nUpLimit=x\n", up, 0}, {"[Common]\nUpLimit=64\n", up, 64},
    };
    for (const auto& [text, field, value] : cases) {
        loadFrom(text);
        EXPECT_EQ(options.*field, value) << text;
        SaveOptions(options, lang, fonts);
        load();
        EXPECT_EQ(options.*field, value) << "after a save: " << text;
    }
}

TEST_F(OptionsStoreTest, EveryFieldRoundTrips)
{
    TFTPOptions o;
    o.ConnectionType = 4; o.TransferMode = 2;
    o.ProxyServer = "proxy"; o.ProxyPort = "8021"; o.ProxyPsw = "pp"; o.ProxyPswMask = true;
    o.SocksServer = "socks"; o.SocksPort = "1080"; o.SocksPsw = "sp"; o.SocksUC = "su"; o.SocksPswMask = true;
    o.PassiveTransfer = true; o.Sync = true; o.Log = true; o.LogFile = "/var/log/x.log";
    o.TimeOut = 60; o.Retry = 2; o.Ext = "txt,\"a b\""; o.Keep = true; o.StartKeep = 5;
    o.DurationKeep = 7; o.CmdKeep = "NOOP,PWD"; o.MailAno = true; o.Anonymous = "me@x.org";
    o.fwHost = "fw"; o.fwPort = "99"; o.fwID = "id"; o.fwPsw = "fp"; o.fwSimbol = "#"; o.fwType = 6;
    o.fwEnable = true; o.IniPath = "/home/u"; o.FontName = "Sans"; o.FontSize = 11; o.FontColor = 255;
    o.PromptDownLoad = false; o.PromptUpLoad = false; o.DefPrompt = 2; o.DateType = 1; o.LogSize = 500;
    o.TimeZone = -5; o.MaxListingMiB = 7; o.SizeDisplayMode = 2;
    const TLang l{true, true, "deutsch"};
    ListFonts f;
    f.Left = {"Mono", 204, 0x123456, true, false, true, false};
    f.Right = {"Serif", 0, 42, false, true, false, true};
    SaveOptions(o, l, f);
    load();
    o.ListingTempFile = options.ListingTempFile;
    EXPECT_EQ(options, o);
    EXPECT_EQ(lang, l);
    EXPECT_EQ(fonts, f);

    for (int16_t tz : {int16_t(-32768), int16_t(13), int16_t(32767)}) {
        o.TimeZone = tz;
        SaveOptions(o, l, f);
        load();
        EXPECT_EQ(options.TimeZone, tz);
    }
}

TEST_F(OptionsStoreTest, SavingTwiceGivesTheSameFileInTheDocumentedOrder)
{
    load();
    SaveOptions(options, lang, fonts);
    const std::string first = readFile(optionsFile());
    load();
    SaveOptions(options, lang, fonts);
    EXPECT_EQ(readFile(optionsFile()), first);
    std::vector<size_t> positions;
    for (const char* part : {"[Common]\nConnectionType=0\nTransferMode=0\nPassiveTransfer=1",
                             "TimeZone=0\nMaxListing=1024\nTransfers=2\nDownLimit=0\nUpLimit=0\n\n[Proxy]\nServer=\nPort=\nPsw=\nPswMask=0\n",
                             "[Socks]\nServer=\nPort=\nPsw=\nUC=\nPswMask=0\n",
                             "[Language]\nLangOn=0\nLangInit=0\nLangFile=language\n", "[Font Right]\nName=",
                             "[Font Left]\nName=", "[View]\nSizeDisplay=1\n"}) {
        positions.push_back(first.find(part));
        EXPECT_NE(positions.back(), std::string::npos) << part;
    }
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_EQ(first.find("ListingTempFile"), std::string::npos);
    EXPECT_EQ(modeOf(optionsFile()), 0600u);
}

TEST_F(OptionsStoreTest, KeepsLayoutsAndUnknownSections)
{
    const std::string kept = "[Layouts]\nMain=10,20,300,400\n\n[Mine]\nfoo=bar\n\n[Common]\nExtra=1\nTimeOut=99\n";
    loadFrom(kept);
    EXPECT_EQ(options.TimeOut, 99);
    SaveOptions(options, lang, fonts);
    EXPECT_EQ(readFile(optionsFile()).rfind(kept, 0), 0u);
}

// Font Left keys change only the local font; a style key that is missing keeps the font's flag.
TEST_F(OptionsStoreTest, FontKeysChangeOnlyTheirFontAndMissingStylesKeepTheCurrentFlags)
{
    writeFile(optionsFile(), "[Font Left]\nName=Courier\nStyle_Italic=1\nCharSet=300\n[Font Right]\nStyle_Bold=0\n");
    fonts.Right.Bold = true;
    fonts.Right.UnderLine = true;
    LoadOptions(options, lang, fonts);
    EXPECT_EQ(std::tie(fonts.Left.Name, fonts.Left.Italic, fonts.Left.CharSet), std::tuple("Courier", true, 44));
    EXPECT_EQ(fonts.Right.Name, ListFont{}.Name);
    EXPECT_EQ((std::vector<bool>{fonts.Right.Italic, fonts.Right.Bold, fonts.Right.UnderLine}),
              (std::vector<bool>{false, false, true}));
}

// The options file and the window layouts report an unwritable file by its path; memory keeps the values.
TEST_F(OptionsStoreTest, UnwritableFileReportsItsPath)
{
    std::filesystem::create_directory(optionsFile());
    TFTPOptions o;
    o.TimeOut = 77;
    const std::string error = "Unable to write to " + optionsFile();
    test::expectThrowWhat<IniWriteError>([&] { SaveOptions(o, TLang{}, ListFonts{}); }, error);
    EXPECT_EQ(o.TimeOut, 77);
    test::expectThrowWhat<IniWriteError>([] { SaveLayouts(LayoutSizes{}); }, error);

    test::ScriptedUserInterface ui;
    MainProgram program(ui);
    EXPECT_FALSE(program.SaveLayout(LayoutSizes{}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption + "|" + ui.messages[0].text, "Attention|" + error);
}

// Each size different, so a key read into the wrong field shows.
LayoutSizes numbered(int32_t first)
{
    LayoutSizes sizes;
    for (const LayoutKey& key : kLayoutKeys)
        sizes.*key.field = first++;
    return sizes;
}

// Only keys present, in the section and whole, change their size: the captured sizes stay otherwise.
TEST_F(OptionsStoreTest, LayoutsChangeOnlyTheSizesTheSectionHolds)
{
    LayoutSizes logOnly = numbered(100), lastAndNegative = numbered(100);
    logOnly.LogHeight = 250;
    lastAndNegative.FtpLinks = -3;
    const std::pair<const char*, LayoutSizes> cases[] = {
        {"[Common]\nTimeOut=20\nLogHeight=5\n", numbered(100)},
        {"[Layouts]\nLogHeight=250\n", logOnly}, {"[Layouts]\nlogheight= 250\n", logOnly},
        {"[Layouts]\nLogHeight=250\nLocal=wide\nFtp=\nLocDirList=12px\nLocFile=99999999999\nLocSize=1.5\n", logOnly},
        {"[Layouts]\nFtpLinks=-3\nUnknown=7\n", lastAndNegative},
    };
    LayoutSizes sizes = numbered(100);
    LoadLayouts(sizes);
    EXPECT_EQ(sizes, numbered(100)) << "no file";
    for (const auto& [text, expected] : cases) {
        writeFile(optionsFile(), text);
        sizes = numbered(100);
        LoadLayouts(sizes);
        EXPECT_EQ(sizes, expected) << text;
    }
}

TEST_F(OptionsStoreTest, SavingLayoutsWritesEveryKeyInOrderAndKeepsTheRestOfTheFile)
{
    SaveLayouts(numbered(1));
    EXPECT_EQ(readFile(optionsFile()),
              "[Layouts]\nLogHeight=1\nLocal=2\nFtp=3\nLocDirList=4\nLocFile=5\nLocSize=6\nLocDate=7\n"
              "LocTime=8\nFtpFile=9\nFtpSize=10\nFtpDate=11\nFtpTime=12\nFtpAttribute=13\nFtpLinks=14\n");

    writeFile(optionsFile(), "[Common]\nTimeOut=42\n[Layouts]\nMine=kept\nLocal=7\n[QuickConnect]\nAddress1=host\n");
    SaveLayouts(numbered(-5));
    const IniFile ini(optionsFile());
    EXPECT_EQ((Strings{ini.readString("Common", "TimeOut", ""), ini.readString("QuickConnect", "Address1", ""),
                       ini.readString("Layouts", "Mine", "")}),
              (Strings{"42", "host", "kept"}));
    LayoutSizes read;
    LoadLayouts(read);
    EXPECT_EQ(read, numbered(-5));
}

TEST(PaneSplit, SizesThatDoNotFitKeepEveryPaneVisible)
{
    const std::tuple<int, int, int, PaneSplit> fixed[] = {
        {600, 150, 50, {150, 450}}, {600, 5000, 50, {550, 50}}, {600, -20, 50, {50, 550}},
        {60, 40, 50, {30, 30}}, {-10, 40, 50, {0, 0}},
    };
    for (const auto& [room, first, minimum, expected] : fixed)
        EXPECT_EQ(SplitFixed(room, first, minimum), expected) << room << " " << first;

    const std::tuple<int, int, int, int, PaneSplit> proportional[] = {
        {900, 300, 600, 100, {300, 600}}, {1200, 300, 600, 100, {400, 800}}, {1000, 1, 2, 100, {333, 667}},
        {1000, 0, 0, 100, {500, 500}}, {1000, -4, -4, 100, {500, 500}},
        {1000, 2147483647, 2147483647, 100, {500, 500}}, {1000, 10, 10000, 150, {150, 850}},
    };
    for (const auto& [room, first, second, minimum, expected] : proportional)
        EXPECT_EQ(SplitProportional(room, first, second, minimum), expected) << room << " " << first << ":" << second;
}

class IniFileTest : public TempHomeTest {
protected:
    std::string file() const { return home() + "test.ini"; }
};

TEST_F(IniFileTest, FindsSectionsAndKeysWithoutRegardToCaseAndReadsNumbers)
{
    writeFile(file(), "[Common]\nTimeOut = 30 \nName=x=y\n[other]\nkey=1\n"
                      "[s]\na=12\nb=-7\nc=abc\nd=12x\ne=99999999999\nf=0\ng=5\nh=\ni=+3\n");
    const IniFile ini(file());
    EXPECT_EQ((Strings{ini.readString("common", "TIMEOUT", "?"), ini.readString("COMMON", "name", "?"),
                       ini.readString("Common", "missing", "def"), ini.readString("Missing", "key", "def")}),
              (Strings{"30", "x=y", "def", "def"}));
    EXPECT_EQ(ini.readInteger("Other", "Key", 7), 1);
    const std::pair<const char*, int> integers[] = {{"a", 12}, {"b", -7}, {"c", 42}, {"d", 42}, {"e", 42}, {"h", 42}, {"i", 3}};
    for (const auto& [key, value] : integers)
        EXPECT_EQ(ini.readInteger("s", key, 42), value) << key;
    EXPECT_EQ((std::vector<bool>{ini.readBool("s", "f", true), ini.readBool("s", "g", false), ini.readBool("s", "c", true)}),
              (std::vector<bool>{false, true, true}));
}

// Passwords are kept in these files: only the owner may read them.
TEST_F(IniFileTest, WritingAKeyKeepsEverythingElse)
{
    writeFile(file(), "; comment\n[Layouts]\nMain=1,2,3,4\n\n[Common]\nTimeOut=15\nOdd line\n");
    IniFile ini(file());
    ini.writeInteger("common", "timeout", 20);
    ini.writeString("Common", "New", "v");
    ini.writeString("Added", "k", "w");
    ini.save();
    EXPECT_EQ(readFile(file()),
              "; comment\n[Layouts]\nMain=1,2,3,4\n\n[Common]\nTimeOut=20\nOdd line\nNew=v\n\n[Added]\nk=w\n");
    EXPECT_EQ(modeOf(file()), 0600u);

    writeFile(file(), "[A]\n  key =  spaced value \r\n[B]\nx=1\n");
    IniFile same(file());
    same.writeString("B", "x", "1");
    same.save();
    EXPECT_EQ(readFile(file()), "[A]\n  key =  spaced value \n[B]\nx=1\n");
}

TEST_F(IniFileTest, ValuesCannotBreakLinesAndAnUnwritableFileThrowsWithItsPath)
{
    IniFile ini(file());
    ini.writeString("S", "k", "one\ntwo=2");
    ini.save();
    const IniFile back(file());
    EXPECT_EQ(back.readString("S", "k", "?"), "one");
    EXPECT_FALSE(back.hasKey("S", "two"));

    const std::string path = home() + "no/such/dir/x.ini";
    IniFile nowhere(path);
    nowhere.writeString("S", "k", "v");
    test::expectThrowWhat<IniWriteError>([&] { nowhere.save(); }, "Unable to write to " + path);
}

TEST(CommaText, SplitsAtCommasAndUnquotedBlanksAndQuotesOnlyWhatNeedsIt)
{
    const std::pair<std::string, Strings> splits[] = {
        {"txt,htm,html", {"txt", "htm", "html"}}, {"NOOP PWD", {"NOOP", "PWD"}}, {"  a ,  b  ", {"a", "b"}},
        {"\"SITE IDLE\",NOOP", {"SITE IDLE", "NOOP"}}, {"\"say \"\"hi\"\"\"", {"say \"hi\""}}, {"a,,b", {"a", "", "b"}},
        {"a,", {"a", ""}}, {"", {}}, {"\t\r\n", {}}, {"\"unterminated", {"unterminated"}},
    };
    for (const auto& [text, items] : splits)
        EXPECT_EQ(SplitCommaText(text), items) << text;

    const std::pair<Strings, std::string> joins[] = {
        {{"txt", "htm"}, "txt,htm"}, {{"SITE IDLE", "NOOP"}, "\"SITE IDLE\",NOOP"}, {{"a,b"}, "\"a,b\""},
        {{"say \"hi\""}, "\"say \"\"hi\"\"\""}, {{"a", "", "b"}, "a,,b"},
    };
    for (const auto& [items, text] : joins) {
        EXPECT_EQ(JoinCommaText(items), text);
        EXPECT_EQ(SplitCommaText(text), items) << text;
    }
    for (const Strings& items : {Strings{"NOOP", "SITE IDLE 60", "PWD"}, Strings{"tab\there", "comma,inside", "\"quoted\""},
                                 Strings{"a", "", "b", ""}, Strings{"\xc3\xa9t\xc3\xa9", "\xe2\x82\xac"}})
        EXPECT_EQ(SplitCommaText(JoinCommaText(items)), items);
}

// BRISKLANE_HOME decides, else XDG_CONFIG_HOME, else HOME; the directory is created for the owner only.
TEST_F(IniFileTest, ProgramDirFollowsTheEnvironment)
{
    std::vector<std::pair<const char*, std::optional<std::string>>> saved;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME"})
        saved.emplace_back(name, std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt);
    const std::string base = home();
    const std::tuple<const char*, std::string> steps[] = {
        {"BRISKLANE_HOME", "own/"}, {"XDG_CONFIG_HOME", "xdg/brisklane/"}, {"HOME", "user/.config/brisklane/"}};
    for (const auto& [name, dir] : steps) {
        ::setenv(name, (base + dir.substr(0, dir.find('/'))).c_str(), 1);
        EXPECT_EQ(ProgramDir(), base + dir);
        EXPECT_EQ(modeOf(base + dir), 0700u) << dir;
        ::unsetenv(name);
    }
    for (const auto& [name, value] : saved)
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
}

} // namespace brisk::options_store_test
