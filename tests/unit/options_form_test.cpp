#include "config/options_store.h"
#include "platform/ini_file.h"
#include "scripted_user_interface.h"
#include "session/main_program.h"
#include "session/options_form.h"
#include "temp_home.h"

#include <gtest/gtest.h>

namespace brisk::options_form_test {

using Strings = std::vector<std::string>;

class OptionsFormTest : public TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        form_.emplace(options, lang, fonts, ui, mainMessages, home());
    }
    OptionsForm& form() { return *form_; }
    void opened() { form().open(); }
    TFTPOptions stored()
    {
        TFTPOptions o;
        TLang l;
        ListFonts f;
        LoadOptions(o, l, f);
        return o;
    }

    TFTPOptions options;
    TLang lang;
    ListFonts fonts;
    test::ScriptedUserInterface ui;
    MessageList mainMessages{MainMessagesEnglish()};
    std::optional<OptionsForm> form_;
};

// A value outside its box's range is stored as the nearer end on "OK" and kept on "Cancel".
TEST_F(OptionsFormTest, NumbersOutsideTheirRangesAreStoredAsTheNearerEnd)
{
    const std::tuple<int32_t TFTPOptions::*, int32_t, int32_t> cases[] = {
        {&TFTPOptions::TimeOut, 5, 10}, {&TFTPOptions::TimeOut, 40000, 32767}, {&TFTPOptions::TimeOut, 20, 20},
        {&TFTPOptions::Retry, -1, 0}, {&TFTPOptions::LogSize, 50, 100}, {&TFTPOptions::LogSize, 10000, 10000},
        {&TFTPOptions::StartKeep, 2000, 1000}, {&TFTPOptions::StartKeep, 0, 1},
        {&TFTPOptions::DurationKeep, 150, 100}, {&TFTPOptions::DurationKeep, 10, 10},
    };
    for (const auto& [field, before, afterOk] : cases) {
        options = {};
        options.*field = before;
        opened();
        EXPECT_EQ(options.*field, before) << "cancelled";
        form().ok();
        EXPECT_EQ(options.*field, afterOk) << before;
        EXPECT_EQ(stored().*field, afterOk) << "saved";
    }

    // Typed text that is no number in range gives the last valid value.
    NumberBox box(10, 32767);
    box.load(5);
    const std::pair<const char*, int> typed[] = {{"40", 40}, {"abc", 40}, {"9", 40}, {" 12 ", 12},
                                                 {"", 12},   {"12x", 12}, {"99999", 12}};
    for (const auto& [text, value] : typed) {
        box.setText(text);
        EXPECT_EQ(box.value(), value) << text;
    }
}

// Opening corrects a transfer type no button stands for and "Use localization" without any language
// file in the options at once; "Cancel" keeps these and writes nothing else.
TEST_F(OptionsFormTest, OpeningCorrectionsSurviveCancel)
{
    options.TransferMode = 3, options.TimeOut = 5, options.fwEnable = true;
    lang = {true, true, "deutsch"};
    writeFile(home() + "language.lan", "");
    opened();
    EXPECT_EQ(lang, (TLang{false, true, "deutsch"}));
    EXPECT_FALSE(form().langOn || form().languageListEnabled());
    EXPECT_EQ(std::tuple(options.TransferMode, options.TimeOut, options.fwEnable), std::tuple(0, 5, true));
    EXPECT_FALSE(std::filesystem::exists(OptionsFilePath()));
}

TEST_F(OptionsFormTest, OkStoresKeepOnlyWithCommandsAndFirewallLoginsOff)
{
    options.fwEnable = true, options.fwType = 9, options.fwSimbol = "#";
    options.Keep = true, options.CmdKeep = "NOOP";
    opened();
    form().selectCommand(0);
    form().deleteCommand();
    form().ok();
    EXPECT_EQ(std::tie(options.Keep, options.CmdKeep), std::tuple(false, "")) << "no command left";
    EXPECT_EQ(std::tie(options.fwEnable, options.fwType, options.fwSimbol), std::tuple(false, 0, "#"));

    opened();
    form().keep = true;
    ui.answerPrompt("SITE IDLE");
    ui.answerPrompt("NOOP");
    form().addCommand();
    form().addCommand();
    form().ok();
    EXPECT_EQ(std::tie(options.Keep, options.CmdKeep), std::tuple(true, "\"SITE IDLE\",NOOP"));
}

TEST_F(OptionsFormTest, ListEditorsAskWithCaptionsFromTheMessageList)
{
    options.Ext = "txt,htm";
    opened();
    ui.answerPrompt(" my ext ");
    form().modifyExtension();   // nothing selected: adds
    form().selectExtension(1);
    ui.answerPrompt("html");
    form().modifyExtension();
    ui.answerPrompt("NOOP");
    form().addCommand();
    ui.cancelPrompt();
    form().addExtension();
    form().selectExtension(0);
    form().removeExtension();
    EXPECT_EQ(form().extensions(), (Strings{"html", " my ext "}));
    EXPECT_EQ(form().selectedExtension(), -1);

    const Strings expected = {"Add extention|Enter||", "Edit extention|Enter|htm|", "Add Command|Enter Command||",
                              "Add extention|Enter||"};
    Strings asked;
    for (const PromptRequest& p : ui.prompts) {
        asked.push_back(p.title + "|" + p.label + "|" + p.text + "|" + (p.masked ? "masked" : ""));
        EXPECT_EQ(p.maxLength, 255u);
    }
    EXPECT_EQ(asked, expected);
    form().ok();
    EXPECT_EQ(options.Ext, "html,\" my ext \"");
}

TEST_F(OptionsFormTest, ChoosersStartAtTheBoxesAndReplaceThemWhenConfirmed)
{
    options.LogFile = home() + "old.log", options.IniPath = "/tmp", options.FontColor = 255;
    opened();
    ui.answerChooser(home() + "new.log");
    form().chooseLogFile();
    ui.answerChooser(std::nullopt);
    form().chooseDirectory();
    ui.answerFont(FontChoice{"DejaVu Sans", 11, 255});
    form().chooseFont();
    ASSERT_EQ(ui.choosers.size(), 2u);
    const auto& log = ui.choosers[0].request;
    EXPECT_EQ(log.title + "|" + log.filter + "|" + log.fileName,
              "Choose Log file|Log Files (*.log)|*.log|Text Files (*.Txt)|*.txt|All Files (*.*)|*.*|" + home() + "old.log");
    EXPECT_EQ(ui.choosers[1].request.title + "|" + ui.choosers[1].request.fileName, "Choice Directory|/tmp");
    EXPECT_EQ(ui.fontsAsked, (std::vector<FontChoice>{{"MS Sans Serif", 8, 255}}));
    form().ok();
    EXPECT_EQ(std::tie(options.LogFile, options.IniPath, options.FontName, options.FontSize),
              std::tuple(home() + "new.log", "/tmp", "DejaVu Sans", 11));
}

// A LangFile with an extension selects its entry; a choice is previewed with LangFile naming it for
// the moment only; "OK" stores the entry, then the main window re-translates from the saved file.
TEST_F(OptionsFormTest, LanguageListSelectsPreviewsAndStores)
{
    for (const char* name : {"Deutsch.lan", "french.LAN", "language.lan"})
        writeFile(home() + name, "");
    lang = {true, false, "deutsch.lan"};
    opened();
    EXPECT_EQ(form().languages(), (Strings{"deutsch", "french"}));
    EXPECT_EQ(form().selectedLanguage(), 0);
    Strings previewed;
    form().previewLanguage = [&](const std::string& file) { previewed.push_back(file + "|" + lang.LangFile); };
    form().selectLanguage(1);
    EXPECT_EQ(lang.LangFile, "deutsch.lan");
    form().langOn = false;
    form().selectLanguage(0);
    form().langOn = true;
    form().selectLanguage(1);
    EXPECT_EQ(previewed, (Strings{"french|french", "french|french"}));

    TLang savedWhenRetranslated;
    form().retranslateMainWindow = [&] {
        TFTPOptions o;
        ListFonts f;
        LoadOptions(o, savedWhenRetranslated, f);
    };
    form().ok();
    EXPECT_EQ(lang, (TLang{true, false, "french"}));
    EXPECT_EQ(savedWhenRetranslated, lang);

    // Nothing chosen: the built-in language, never a file named ".lan".
    opened();
    form().selectLanguage(-1);
    form().ok();
    EXPECT_EQ(lang.LangFile, "language");
}

TEST_F(OptionsFormTest, AFailedSaveIsShownAndTheValuesStay)
{
    opened();
    form().timeOut.setText("60");
    std::filesystem::create_directories(OptionsFilePath());   // a directory cannot be written as a file
    form().ok();
    EXPECT_EQ(options.TimeOut, 60);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption + "|" + ui.messages[0].text, "Attention|Unable to write to " + OptionsFilePath());
}

// After the dialog, whatever its end, the options reach what copied them.
TEST_F(OptionsFormTest, PreferencesApplyTheOptionsToTheSession)
{
    writeFile(home() + "ftplist.TXT", "Name=s;Server=h;\n");
    MainProgram program(ui);
    program.settings.options.LogSize = 50;
    ui.optionsEditor = [](OptionsForm& f) {
        f.transferMode = 2, f.mailAno = true, f.anonymous = "me@example.org";
        f.timeOut.setText("30");
        f.ok();
        return true;
    };
    program.ShowPreferences();
    SessionController& s = program.session;
    EXPECT_EQ(std::tuple(s.transferChain().type, s.Ftp1.Timeout, s.log.logSize()),
              std::tuple(TransferType::Binary, 30, 100));
    s.sites.siteList.refresh();
    EXPECT_EQ(s.sites.siteList.entries().at(0).site.EMail, "me@example.org");

    // Cancelled: applied all the same, and the transfer type chosen in the menu stays.
    s.SetTransferTypeMenu(1);
    program.settings.options.TimeOut = 45;
    ui.optionsEditor = nullptr;
    program.ShowPreferences();
    EXPECT_EQ(std::pair(s.transferChain().type, s.Ftp1.Timeout), std::pair(TransferType::Ascii, 45));
    EXPECT_EQ(ui.optionsDialogs, 2);
}

} // namespace brisk::options_form_test
