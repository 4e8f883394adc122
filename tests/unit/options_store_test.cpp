#include "config/options_store.h"

#include "platform/ini_file.h"
#include "expect_throw.h"
#include "temp_home.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace brisk;

class OptionsStoreTest : public TempHomeTest {
protected:
    void load()
    {
        options = TFTPOptions{};
        lang = TLang{};
        fonts = ListFonts{};
        LoadOptions(options, lang, fonts);
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

TEST_F(OptionsStoreTest, BadNumbersGiveDefaultsWideValuesKeepLowBitsAndOnlyIniPathMayBeEmpty)
{
    writeFile(optionsFile(),
              "[common]\nTimeOut=soon\nretry=3\nConnectionType=258\nTimeZone=65541\nPassiveTransfer=7\n"
              "LogSize=\nKeep=x\nLogFile=\nIniPath=\n");
    load();
    EXPECT_EQ(options.TimeOut, 15);
    EXPECT_EQ(options.Retry, 3);
    EXPECT_EQ(options.ConnectionType, 2);
    EXPECT_EQ(options.TimeZone, 5);
    EXPECT_TRUE(options.PassiveTransfer);
    EXPECT_EQ(options.LogSize, 10000);
    EXPECT_FALSE(options.Keep);
    EXPECT_EQ(options.LogFile, home() + "tolvaxe.log");
    EXPECT_EQ(options.IniPath, "");
}

TEST_F(OptionsStoreTest, AStoredStartFolderIsKeptUnlessItIsTheSettingsFolder)
{
    for (const std::string& settings : {home(), home().substr(0, home().size() - 1)}) {
        writeFile(optionsFile(), "[common]\nIniPath=" + settings + "\n");
        load();
        EXPECT_EQ(options.IniPath, "") << settings;
    }
    writeFile(optionsFile(), "[common]\nIniPath=" + home() + "work\n");
    load();
    EXPECT_EQ(options.IniPath, home() + "work");
}

TEST_F(OptionsStoreTest, MaxListingIsInMebibytesWithItsDefaultForMissingOrUnusableValues)
{
    const struct {
        const char* line;
        int32_t mib;
    } cases[] = {{"", 1024}, {"MaxListing=\n", 1024}, {"MaxListing=lots\n", 1024}, {"MaxListing=-1\n", 1024},
                 {"MaxListing=0\n", 0}, {"MaxListing=5\n", 5}, {"MaxListing=2147483647\n", 2147483647}};
    for (const auto& c : cases) {
        writeFile(optionsFile(), std::string("[Common]\n") + c.line);
        load();
        EXPECT_EQ(options.MaxListingMiB, c.mib) << c.line;
        SaveOptions(options, lang, fonts);
        load();
        EXPECT_EQ(options.MaxListingMiB, c.mib) << "after a save: " << c.line;
    }
}

TEST_F(OptionsStoreTest, SizeDisplayIsOneOfThreeModesWithGroupedDigitsForAnythingElse)
{
    const struct {
        const char* line;
        int32_t mode;
    } cases[] = {{"", 1}, {"SizeDisplay=0\n", 0}, {"SizeDisplay=2\n", 2}, {"SizeDisplay=3\n", 1},
                 {"SizeDisplay=-1\n", 1}, {"SizeDisplay=KiB\n", 1}};
    for (const auto& c : cases) {
        writeFile(optionsFile(), std::string("[View]\n") + c.line);
        load();
        EXPECT_EQ(options.SizeDisplayMode, c.mode) << c.line;
    }
}

TEST_F(OptionsStoreTest, TimeZoneSurvivesTheWholeSixteenBitRange)
{
    for (int16_t tz : {int16_t(-32768), int16_t(-5), int16_t(0), int16_t(13), int16_t(32767)}) {
        TFTPOptions o;
        o.TimeZone = tz;
        SaveOptions(o, TLang{}, ListFonts{});
        load();
        EXPECT_EQ(options.TimeZone, tz);
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
}

TEST_F(OptionsStoreTest, SavingTwiceGivesTheSameFileInTheDocumentedOrder)
{
    load();
    SaveOptions(options, lang, fonts);
    const std::string first = readFile(optionsFile());
    load();
    SaveOptions(options, lang, fonts);
    EXPECT_EQ(readFile(optionsFile()), first);
    const size_t common = first.find("[Common]\nConnectionType=0\nTransferMode=0\nPassiveTransfer=1");
    const size_t proxy = first.find("[Proxy]\nServer=\nPort=\nPsw=\nPswMask=0\n");
    const size_t socks = first.find("[Socks]\nServer=\nPort=\nPsw=\nUC=\nPswMask=0\n");
    const size_t language = first.find("[Language]\nLangOn=0\nLangInit=0\nLangFile=language\n");
    const size_t right = first.find("[Font Right]\nName=");
    const size_t left = first.find("[Font Left]\nName=");
    ASSERT_NE(common, std::string::npos);
    ASSERT_NE(proxy, std::string::npos);
    ASSERT_NE(socks, std::string::npos);
    ASSERT_NE(language, std::string::npos);
    EXPECT_LT(common, proxy);
    EXPECT_LT(proxy, socks);
    EXPECT_LT(socks, language);
    EXPECT_LT(language, right);
    EXPECT_LT(right, left);
    const size_t view = first.find("[View]\nSizeDisplay=1\n");
    ASSERT_NE(view, std::string::npos);
    EXPECT_LT(left, view);
    EXPECT_NE(first.find("TimeZone=0\nMaxListing=1024\n\n[Proxy]"), std::string::npos);
    EXPECT_EQ(first.find("ListingTempFile"), std::string::npos);
    EXPECT_EQ(modeOf(optionsFile()), 0600u);
}

TEST_F(OptionsStoreTest, KeepsLayoutsAndUnknownSections)
{
    writeFile(optionsFile(), "[Layouts]\nMain=10,20,300,400\n\n[Mine]\nfoo=bar\n\n[Common]\nExtra=1\nTimeOut=99\n");
    load();
    EXPECT_EQ(options.TimeOut, 99);
    SaveOptions(options, lang, fonts);
    const std::string saved = readFile(optionsFile());
    EXPECT_EQ(saved.rfind("[Layouts]\nMain=10,20,300,400\n\n[Mine]\nfoo=bar\n\n[Common]\nExtra=1\nTimeOut=99\n", 0), 0u);
}

// Font Left keys change only the local font; a style key that is missing keeps the font's flag.
TEST_F(OptionsStoreTest, FontKeysChangeOnlyTheirFontAndMissingStylesKeepTheCurrentFlags)
{
    writeFile(optionsFile(), "[Font Left]\nName=Courier\nStyle_Italic=1\nCharSet=300\n[Font Right]\nStyle_Bold=0\n");
    fonts.Right.Bold = true;
    fonts.Right.UnderLine = true;
    LoadOptions(options, lang, fonts);
    EXPECT_EQ(fonts.Left.Name, "Courier");
    EXPECT_TRUE(fonts.Left.Italic);
    EXPECT_EQ(fonts.Left.CharSet, 44);
    EXPECT_EQ(fonts.Right.Name, ListFont{}.Name);
    EXPECT_FALSE(fonts.Right.Italic);
    EXPECT_FALSE(fonts.Right.Bold);
    EXPECT_TRUE(fonts.Right.UnderLine);
}

TEST_F(OptionsStoreTest, UnwritableFileReportsItsPathAndKeepsMemory)
{
    std::filesystem::create_directory(optionsFile());
    TFTPOptions o;
    o.TimeOut = 77;
    test::expectThrowWhat<IniWriteError>([&] { SaveOptions(o, TLang{}, ListFonts{}); },
                                         "Unable to write to " + optionsFile());
    EXPECT_EQ(o.TimeOut, 77);
}
