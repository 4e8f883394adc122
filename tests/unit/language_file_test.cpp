#include "fake_form.h"
#include "i18n/language_choice.h"
#include "i18n/language_file.h"
#include "i18n/language_key.h"
#include "i18n/language_list.h"
#include "i18n/main_messages.h"
#include "ftp/ftp_client.h"
#include "platform/ini_file.h"
#include "temp_home.h"
#include "tree_session_test.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace brisk::test::language_file_test {

// A translation may put the arguments in another order; a mark without an argument stays as it is.
TEST(LanguageKey, KeysSplitValuesDecodeAndMessageMarksAreReplaced)
{
    const std::pair<const char*, LanguageKey> cases[] = {
        {"Self.Caption", {"Self", "Caption", -1, ""}}, {"btOk.Hint", {"btOk", "Hint", -1, ""}},
        {"msl.Items.3", {"msl", "Items", 3, ""}}, {"lvLoc.Columns.2.Caption", {"lvLoc", "Columns", 2, "Caption"}},
        {"lvLoc.Columns.2.Caption.More", {"lvLoc", "Columns", 2, "Caption.More"}}, {"lonely", {"lonely", "", -1, ""}},
        {"msl.Items.x3", {"msl", "Items", -1, ""}}, {"msl.Items.-1", {"msl", "Items", -1, ""}},
        {"msl.Items.", {"msl", "Items", -1, ""}},
    };
    for (const auto& [key, split] : cases)
        EXPECT_EQ(SplitLanguageKey(key), split) << key;
    EXPECT_EQ(DecodeLanguageValue("two~~lines"), "two\nlines");
    EXPECT_EQ(EncodeLanguageValue("two\r\nlines\nmore"), "two~~lines~~more");
    EXPECT_EQ(FormatMessage("Port \"%2\" von %1: %3", {"host", "21", "zu"}), "Port \"21\" von host: zu");
    EXPECT_EQ(FormatMessage("100% %1 %4 %0 %", {"a"}), "100% a %4 %0 %");
}

class LanguageFileTest : public TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        form.strings = {{"lblName.Caption", "Name"}, {"lblEmpty.Caption", ""}, {"btGo.Hint", "Go on"},
                        {"sep.Caption", "-"}, {"edTag.Tag", "7"}};
        form.addMessages("msl", messages);
        form.columns["lvList.Columns"] = {"Filename", "Size"};
    }
    std::string file(const std::string& name, const std::string& text)
    {
        writeFile(home() + name, text);
        return home() + name;
    }

    MessageList messages{{"Error", "Attention"}};
    FakeForm form;
};

TEST_F(LanguageFileTest, ReplacesOnlyTextsTheWindowHas)
{
    ApplyLanguageFile(form, file("de.lan", "[T_TEST]\nSelf.Caption=Testfenster\nlblName.Caption=Erste~~Zweite\n"
                                           "lblEmpty.Caption=Leer\nbtGo.Hint=Weiter\nmsl.Items.1=Achtung\n"
                                           "msl.Items.2=Neu\nmsl.Items.x0=Kaputt\nlvList.Columns.1.Caption=Größe\n"
                                           "lvList.Columns.5.Caption=Fehlt\nlvList.Columns.0.Width=9\n"
                                           "nobody.Caption=Niemand\n[OTHER]\nmsl.Items.0=Fremd\n"));
    EXPECT_EQ(form.title, "Testfenster");
    EXPECT_EQ((std::vector<std::string>{form.strings["lblName.Caption"], form.strings["lblEmpty.Caption"],
                                        form.strings["btGo.Hint"]}),
              (std::vector<std::string>{"Erste\nZweite", "", "Weiter"}));
    EXPECT_EQ(messages.items(), (std::vector<std::string>{"Error", "Achtung"}));
    EXPECT_EQ(form.columns["lvList.Columns"], (std::vector<std::string>{"Filename", "Größe"}));
}

// A window without its own section takes the parent class's; a missing file is created empty and changes nothing.
TEST_F(LanguageFileTest, FallsBackToTheParentClassSectionOrNothing)
{
    ApplyLanguageFile(form, file("de.lan", "[TFORM]\nmsl.Items.0=Fehler\n"));
    EXPECT_EQ(messages[0], "Fehler");
    messages = MessageList{{"Error", "Attention"}};

    const std::string path = home() + "gone.lan";
    ApplyLanguageFile(form, path);
    EXPECT_TRUE(std::filesystem::exists(path) && readFile(path).empty());
    EXPECT_EQ(form.strings["lblName.Caption"] + "|" + messages[0], "Name|Error");
}

TEST_F(LanguageFileTest, TheTemplateHoldsEveryTextAndKeepsOtherSections)
{
    form.strings["lblName.Caption"] = "First\nSecond";
    const std::string path = file("language.lan", "[T_OTHER]\nSelf.Caption=Other\n\n[T_TEST]\nstale.Caption=Old\n");
    ASSERT_TRUE(WriteLanguageTemplate(form, path));
    const IniFile ini(path);
    using Entries = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(ini.sectionEntries("T_OTHER"), (Entries{{"Self.Caption", "Other"}}));
    const Entries written = ini.sectionEntries("T_TEST");
    const Entries expected = {{"Self.Caption", "Test window"}, {"btGo.Hint", "Go on"},
                              {"lblName.Caption", "First~~Second"}, {"msl.Items.0", "Error"},
                              {"msl.Items.1", "Attention"}, {"lvList.Columns.0.Caption", "Filename"},
                              {"lvList.Columns.1.Caption", "Size"}};
    EXPECT_EQ(written, expected);

    // Read back into a window with other texts, the template restores these.
    FakeForm other = form;
    MessageList otherMessages{{"x", "y"}};
    other.addMessages("msl", otherMessages);
    other.strings["lblName.Caption"] = "?";
    ApplyLanguageFile(other, path);
    EXPECT_EQ(other.strings["lblName.Caption"], "First\nSecond");
    EXPECT_EQ(otherMessages.items(), messages.items());
}

// Languages are listed lower-cased, without the template.
TEST_F(LanguageFileTest, TheMenuChecksTheChosenLanguageOrFallsBackToEnglish)
{
    for (const char* name : {"Deutsch.lan", "LANGUAGE.LAN", "francais.LAN", "notes.txt"})
        file(name, "");
    EXPECT_EQ(ListLanguages(home()), (std::vector<std::string>{"deutsch", "francais"}));
    EXPECT_EQ(LanguageFilePath(home(), "deutsch"), home() + "Deutsch.lan");
    const std::tuple<TLang, int, TLang> cases[] = {
        {{true, false, "francais"}, 1, {true, false, "francais"}},
        {{false, true, "deutsch"}, 0, {false, true, "deutsch"}},
        {{true, false, "Deutsch"}, -1, {false, false, "language"}},
        {{true, false, "klingon"}, -1, {false, false, "language"}},
        {{true, true, "language"}, -1, {false, true, "language"}},
    };
    for (const auto& [before, checked, after] : cases) {
        TLang lang = before;
        const LanguageMenu menu = BuildLanguageMenu(lang, home());
        EXPECT_EQ(menu.names, (std::vector<std::string>{"deutsch", "francais"}));
        EXPECT_EQ(menu.checked, checked) << before.LangFile;
        EXPECT_EQ(lang, after) << before.LangFile;
    }

    TLang lang{false, true, "language"};
    SelectLanguage(lang, "&deutsch");
    EXPECT_EQ(lang, (TLang{true, false, "deutsch"}));
    SelectLanguage(lang, "");
    EXPECT_EQ(lang, (TLang{false, false, "language"}));
}

TEST_F(LanguageFileTest, SwitchingLanguagesStartsFromTheBuiltInTexts)
{
    file("deutsch.lan", "[T_TEST]\nlblName.Caption=Name (de)\nmsl.Items.0=Fehler\n");
    file("partial.lan", "[T_TEST]\nbtGo.Hint=Avanti\n");
    const FormTexts builtIn = CaptureFormTexts(form);
    TLang lang;
    const auto shown = [&] {
        return form.strings["lblName.Caption"] + "|" + form.strings["btGo.Hint"] + "|" + messages[0];
    };
    const auto choose = [&](const char* name) {
        SelectLanguage(lang, name);
        RetranslateMainWindow(form, builtIn, lang, home(), true);
        return shown();
    };
    RetranslateMainWindow(form, builtIn, lang, home(), false);
    EXPECT_EQ(shown(), "Name|Go on|Error") << "nothing chosen, nothing forced";
    EXPECT_EQ(choose("deutsch"), "Name (de)|Go on|Fehler");
    EXPECT_EQ(choose("partial"), "Name|Avanti|Error");
    EXPECT_EQ(choose(""), "Name|Go on|Error") << "English again although there is no template";
    // A language whose file went away after start-up: created empty, the texts stay.
    EXPECT_EQ(choose("vanished"), "Name|Go on|Error");
    EXPECT_EQ(readFile(home() + "vanished.lan"), "");
}

TEST_F(LanguageFileTest, TheTemplateIsWrittenOnlyForTheBuiltInLanguage)
{
    file("deutsch.lan", "[T_TEST]\nbtGo.Hint=Weiter\n");
    ApplyLanguage(form, {false, true, "deutsch"}, home());
    EXPECT_FALSE(std::filesystem::exists(home() + "language.lan"));
    EXPECT_EQ(form.strings["btGo.Hint"], "Go on");
    ApplyLanguage(form, {false, true, "language"}, home());
    EXPECT_TRUE(IniFile(home() + "language.lan").hasKey("T_TEST", "btGo.Hint"));
    ApplyLanguage(form, {true, false, "deutsch"}, home());
    EXPECT_EQ(form.strings["btGo.Hint"], "Weiter");
}

// The main window's list has exactly its 36 messages: message 35 can be translated, a 37th line
// adds nothing.
class LanguageSessionTest : public TreeSessionTest {};

TEST_F(LanguageSessionTest, TheClosingLogLineComesFromTheLanguageFile)
{
    ASSERT_TRUE(open());
    FakeForm window;
    window.cls = "T_Main";
    window.addMessages("msl", rig->c.msl.msl);
    writeFile(home() + "deutsch.lan", "[T_MAIN]\nmsl.Items.35=Verbindung beendet\nmsl.Items.36=Zuviel\n");
    ApplyLanguageFile(window, home() + "deutsch.lan");
    EXPECT_EQ(rig->c.msl.msl.items().size(), 36u);
    rig->c.Disconnect();
    ASSERT_TRUE(rig->waitSiteList());
    EXPECT_EQ(loggedWith("Verbindung beendet").size(), 1u);
    EXPECT_TRUE(loggedWith("Connection closed").empty());
    EXPECT_TRUE(loggedWith("Zuviel").empty());
}

// The engine writes its own lines in English until the session hands it the window's texts; the
// English message list holds them byte for byte, in the engine's order.
TEST(FtpRemarks, TheMessageListHoldsTheEnginesEnglishTexts)
{
    for (int i = 0; i < frCount; ++i)
        EXPECT_EQ(MainExtraMessagesEnglish().at(size_t(xmsgFtpRemarks + i)), FtpRemarksEnglish()[size_t(i)]) << i;
    const TFtpClient engine;
    for (int i = 0; i < frCount; ++i)
        EXPECT_EQ(engine.Remarks[FtpRemark(i)], FtpRemarksEnglish()[size_t(i)]) << i;
}

// In German the engine's statistics line after a transfer is German too (the connections of their
// own that files take: tls_servers_test.cpp).
TEST_F(LanguageSessionTest, TheEnginesLogLinesComeFromTheLanguageFile)
{
    server.addFile("/a.txt", 3);
    ASSERT_TRUE(open());
    FakeForm window;
    window.cls = "T_Main";
    window.addMessages("msl", rig->c.msl.msl);
    window.addMessages("mslExtra", rig->c.msl.mslExtra);
    ApplyLanguageFile(window, BRISKLANE_HARNESS_DIR "/../../lang/deutsch.lan");
    rig->c.MessagesChanged();
    rig->c.log.clear();
    select({"a.txt"});
    run([&] { rig->c.StartDownload(); });
    const auto& lines = rig->c.log.lines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.rfind("! 3 Bytes empfangen/gesendet in ", 0) == 0; }),
              1)
        << ::testing::PrintToString(lines);
    EXPECT_TRUE(loggedWith("bytes received/sent").empty());
}

} // namespace brisk::test::language_file_test
