#include "i18n/window_messages.h"
#include "platform/ini_file.h"
#include "session/attribute_form.h"
#include "session/custom_command_editor.h"
#include "session/options_form.h"
#include "session/overwrite_prompt.h"
#include "site_fixtures.h"
#include "sites/site_properties.h"
#include "ui/attributes_dialog.h"
#include "ui/carriage_return_dialog.h"
#include "ui/custom_commands_dialog.h"
#include "ui/file_list_model.h"
#include "ui/mirror_dialog.h"
#include "ui/options_dialog.h"
#include "ui/overwrite_dialog.h"
#include "ui/progress_window.h"
#include "ui/text_viewer.h"
#include "scripted_user_interface.h"
#include "window_fixture.h"


namespace brisk::test {
namespace {

class LanguageTest : public WindowTest {
protected:
    // The window again, as after a restart with these language settings.
    void restartWith(const std::string& language)
    {
        writeFile(home() + "options.ftp", "[Language]\n" + language);
        open();
    }
    QString header(const FileListView* view, int column) const
    {
        return view->model()->headerData(column, Qt::Horizontal).toString();
    }
};

// With the template asked for and the built-in language chosen, every window that opens adds its
// section to the template.
TEST_F(LanguageTest, OpeningEachWindowOnceFillsTheTemplate)
{
    restartWith("LangInit=1\n");
    {
        AttributeForm attributes({{"a.txt", 644}});
        T_ChMod chmod(attributes);
        LineEndingChoice lineEnding;
        T_Carrage carriage(lineEnding);
        CustomCommandEditor commands({{"Features"}, {"FEAT"}});
        T_FCmd custom(commands);
        TRecMirror task;
        ScriptedUserInterface scripted;
        MirrorForm mirrorForm(task, scripted, session().msl);
        T_Mirror mirror(mirrorForm);
        OverwritePrompt overwrite(OverwriteMessagesEnglish(), "/tmp/a.txt");
        TFReWrite rewrite(overwrite);
        TProgress progress({});
        TInputForm input({"Rename", "Enter new name", "a.txt", 255, false});
        TextViewer viewer;
        SiteProperties site(newDefaultSite(), fixedZones());
        TFFtpBase properties(site);
        auto& settings = w().program().settings;
        OptionsForm optionsForm(settings.options, settings.lang, settings.fonts, scripted, session().msl.msl, home());
        optionsForm.open();
        T_Options preferences(optionsForm);
    }
    const IniFile lan(home() + "language.lan");
    // The German translation that comes with the program has exactly the keys of the template.
    const IniFile german(home() + "deutsch.lan");
    const auto keys = [](const IniFile& file, const char* section) {
        std::vector<std::string> out;
        for (const auto& entry : file.sectionEntries(section))
            out.push_back(entry.first);
        return out;
    };
    for (const char* section : {"T_MAIN", "T_CHMOD", "T_CARRAGE", "T_FCMD", "T_MIRROR", "TFREWRITE", "TPROGRESS",
                                "TINPUTFORM", "T_VIEWER", "TFFTPBASE", "T_OPTIONS"}) {
        EXPECT_TRUE(lan.hasSection(section)) << section;
        EXPECT_EQ(keys(german, section), keys(lan, section)) << section;
    }
    const std::tuple<const char*, const char*, const char*> entries[] = {
        {"T_MAIN", "msl.Items.35", "Connection closed"},
        {"T_MAIN", "lvLoc.Columns.0.Caption", "Filename"},
        {"T_MAIN", "actConnect.Caption", "Connect to FTP - Server"},
        {"TPROGRESS", "msl.Items.3", "K/sec"},
        {"TFFTPBASE", "Self.Caption", "FTP Server Properties"},
    };
    for (const auto& [section, key, value] : entries)
        EXPECT_EQ(lan.readString(section, key, "<none>"), value) << section << " " << key;
    // Data is no text of the program: the prompt's caption and value, the site's fields.
    EXPECT_EQ(lan.readString("TINPUTFORM", "Self.Caption", "<none>"), "");
    EXPECT_FALSE(lan.hasKey("TINPUTFORM", "edText.Text"));
    EXPECT_FALSE(lan.hasKey("T_MAIN", "msl.Items.36"));
}

// The German translation comes with the program; choosing it changes the menus, the column headers
// and the bars' hints from then on, and English comes back the same way. (The session's log lines
// follow the same registration: tests/unit/language_file_test.cpp.)
TEST_F(LanguageTest, SwitchingToGermanAtRunTime)
{
    QAction* german = w().findChild<QAction*>("actLanguage_deutsch");
    ASSERT_NE(german, nullptr);
    german->trigger();
    EXPECT_TRUE(german->isChecked());
    EXPECT_EQ(w().program().settings.lang.LangFile, "deutsch");
    EXPECT_NE(menu("&Datei"), nullptr);
    EXPECT_EQ(w().action("actConnect")->text(), "Verbinden");
    EXPECT_EQ(header(w().lvLoc, 0), "Dateiname");
    EXPECT_EQ(header(w().FTPView, 0), "FTP-Server");
    const auto addressHint = [&] { return w().findChild<QComboBox*>("qcAddress")->lineEdit()->placeholderText(); };
    EXPECT_EQ(addressHint(), "Host oder ftp://user@host:port/dir");
    QTest::qWait(50);   // the new texts laid out
    ASSERT_FALSE(test::saveScreenshot(w(), "main_window_german").isEmpty());

    w().findChild<QAction*>("actLanguageDefault")->trigger();
    EXPECT_EQ(w().action("actConnect")->text(), "Connect to FTP - Server");
    EXPECT_EQ(header(w().FTPView, 0), "FTP Servers");
    EXPECT_EQ(addressHint(), "host or ftp://user@host:port/dir");
}

} // namespace
} // namespace brisk::test
