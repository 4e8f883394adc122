#pragma once
#include "config/ftp_options.h"
#include "config/number_box.h"
#include "i18n/main_messages.h"
#include "session/user_interface.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace brisk {

// The Preferences dialog's message list, read by position.
enum OptionsMessage : int { omAdd = 0, omEdit, omEnter, omCommand, omExtension, omChoiceDirectory };

// The logic of the Preferences dialog ("Program Options") over the options and the language
// settings: what each control shows, the enabling rules, the list editors, the choosers, the
// language list and what "OK" writes back. The controls' state lives here; the dialog shows it
// and writes each change back.
class OptionsForm {
public:
    static constexpr const char* kCaption = "Program Options";
    static constexpr const char* kLogTitle = "Choose Log file";
    static constexpr const char* kLogFilter =
        "Log Files (*.log)|*.log|Text Files (*.Txt)|*.txt|All Files (*.*)|*.*";
    static constexpr size_t kItemLength = 255;
    // The navigation tree, top to bottom; a node selects the page whose tag is its position.
    struct Page {
        const char* node;
        int parent;   // the parent node's position, -1 for a top node
        const char* caption;
        const char* header;
    };
    static constexpr std::array<Page, 7> kPages = {{
        {"Connection", -1, "Connection", "Connection"},
        {"ASCII/Binary", 0, "Ascii/Binary", "Connection. Ascii/Binary"},
        {"Log", 0, "Log ", "Connection. Log"},
        {"Connection Keep Alive", 0, "Keep Alive", "Connection. Keep alive  (keep connection)"},
        {"Proxy / Firewall ", 0, "Proxy / Firewall ", "Connection. Proxy and Sockets"},
        {"Display / Prompts", -1, "Display / Prompts", "Prompt"},
        {"Language", -1, "Language", ""},
    }};

    // `languageDir` holds the language files; the main window's messages caption a failed save.
    OptionsForm(TFTPOptions& options, TLang& lang, ListFonts& fonts, UserInterface& ui,
                const MessageList& mainMessages, std::string languageDir);

    MessageList msl;
    // The page shown, by tag.
    int page = 0;

    // Page 0
    bool mailAno = false;
    std::string anonymous;
    NumberBox timeOut{10, 32767};
    NumberBox retry{0, 32767};
    NumberBox transfers{1, kMaxTransfers};
    NumberBox downLimit{0, 1000000};   // KiB/s, 0: none
    NumberBox upLimit{0, 1000000};
    bool passive = false;   // passed through: no control shows it
    bool sync = false;      // passed through
    // Page 1
    int transferMode = 0;
    const std::vector<std::string>& extensions() const { return extensions_; }
    int selectedExtension() const { return selectedExtension_; }
    void selectExtension(int index);
    // Page 2
    bool log = false;
    std::string logFile;
    NumberBox logSize{100, 32767};   // passed through, within its range
    // Page 3
    bool keep = false;
    NumberBox startKeep{1, 1000};
    NumberBox durationKeep{1, 100};
    const std::vector<std::string>& commands() const { return commands_; }
    int selectedCommand() const { return selectedCommand_; }
    void selectCommand(int index);
    // Page 4
    int connectionType = 0;
    std::string proxyServer, proxyPort, proxyPsw;
    bool proxyPswMask = false;
    std::string socksServer, socksPort, socksUC, socksPsw;
    bool socksPswMask = false;
    bool fwEnable = false;
    int fwType = 0;
    std::string fwSimbol;
    // Page 5
    std::string iniPath;
    FontChoice font;
    bool promptDownLoad = true;
    bool promptUpLoad = true;
    int defPrompt = 0;
    int dateType = 0;
    // Page 6
    bool langOn = false;
    bool langInit = false;   // passed through
    const std::vector<std::string>& languages() const { return languages_; }
    int selectedLanguage() const { return selectedLanguage_; }

    // The enabling and marking rules. White boxes are marked active, silver ones inactive; a
    // silver box still takes input unless its rule disables it.
    bool proxyPanelEnabled() const { return connectionType == 1; }
    bool socksPanelEnabled() const { return connectionType >= 2 && connectionType <= 4; }
    bool addressEnabled() const { return mailAno; }
    bool firewallTypeEnabled() const { return fwEnable; }
    bool logFileWhite() const { return log; }
    bool keepAliveWhite() const { return keep; }
    bool languageListEnabled() const { return langOn; }

    // Fills the controls from the options. A transfer type outside 0-2 and "Use localization" without
    // any language file are corrected in the options at once, whatever the dialog's end.
    void open();
    // "OK": the controls into the options, then the options file saved (a failure is shown; the
    // values stay in memory), then the main window re-translated.
    void ok();

    // List editors and choosers.
    void addCommand();
    void deleteCommand();
    void addExtension();
    void modifyExtension();
    void removeExtension();
    void chooseLogFile();
    void chooseDirectory();
    void chooseFont();
    // A click in the language list; while "Use localization" is checked the entry is previewed.
    void selectLanguage(int index);

    // Shows the dialog in the language `langFile` while the language settings name it.
    std::function<void(const std::string& langFile)> previewLanguage;
    // "OK"'s last step: the main window takes the language settings.
    std::function<void()> retranslateMainWindow;

private:
    void openConnection();
    void openSession();
    void openDisplay();
    void openLanguages();
    void writeConnection();
    void writeSession();
    void writeDisplay();
    void writeLanguage();
    void save();
    bool askItem(const std::string& title, const std::string& label, std::string& text);

    TFTPOptions& options_;
    TLang& lang_;
    ListFonts& fonts_;
    UserInterface& ui_;
    const MessageList& mainMessages_;
    std::string languageDir_;
    std::vector<std::string> extensions_;
    std::vector<std::string> commands_;
    std::vector<std::string> languages_;
    int selectedExtension_ = -1;
    int selectedCommand_ = -1;
    int selectedLanguage_ = -1;
};

} // namespace brisk
