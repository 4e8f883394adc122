#include "ui/main_window.h"

#include "i18n/language_choice.h"
#include "platform/program_dir.h"
#include "ui/qt_text.h"
#include "ui/shipped_languages.h"
#include "ui/window_language.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>

namespace brisk {

// The texts of the window as built, in English; then the chosen language. Path boxes, the log and
// the information lines show data, not texts of the program.
void T_Main::translate()
{
    SetProgramLanguage(&program_->settings.lang);
    InstallShippedLanguages(ProgramDir());
    for (QObject* data : std::initializer_list<QObject*>{localPath, FTPPath, logPane, localInfo, remoteInfo, busyText})
        KeepUntranslated(data);
    buildLanguageMenu();
    texts_ = std::make_unique<QtTranslatableForm>(*this, "T_Main");
    MainMessages& messages = program_->session.msl;
    texts_->addMessageList("msl", messages.msl);
    texts_->addMessageList("mslExtra", messages.mslExtra);
    const auto headersChanged = [this] {
        shownLocalVersion_ = shownRemoteVersion_ = ~0ull;
        shownSiteList_ = false;
    };
    texts_->addColumns("lvLoc", "Columns", localColumns_, headersChanged);
    texts_->addColumns("FTPView", "Columns", remoteColumns_, headersChanged);
    texts_->addColumns("FTPView", "SiteColumns", siteColumns_, headersChanged);
    builtInTexts_ = CaptureFormTexts(*texts_);
    ApplyLanguage(*texts_, program_->settings.lang, ProgramDir());
    program_->session.MessagesChanged();
    applyEditHints();
}

// The grey hints of the bars' boxes are message list entries, so they follow the language.
void T_Main::applyEditHints()
{
    const MainMessages& messages = program_->session.msl;
    if (auto* address = findChild<QComboBox*>("qcAddress"))
        address->lineEdit()->setPlaceholderText(toQt(messages[xmsgAddressHint]));
    if (auto* command = findChild<QComboBox*>("cbRawCommand"))
        command->lineEdit()->setPlaceholderText(toQt(messages[xmsgRawCommandHint]));
}

// "Default (English)", a separator, then the language files found.
void T_Main::buildLanguageMenu()
{
    languageMenu_ = menuBar()->addMenu("&Language");
    languageMenu_->setObjectName("mnLanguage");
    auto* entries = new QActionGroup(languageMenu_);
    entries->setExclusive(true);
    QAction* builtIn = languageMenu_->addAction("Default (English)");
    builtIn->setObjectName("actLanguageDefault");
    languageMenu_->addSeparator();
    const LanguageMenu menu = BuildLanguageMenu(program_->settings.lang, ProgramDir());
    std::vector<QAction*> all{builtIn};
    for (const std::string& name : menu.names) {
        QAction* entry = languageMenu_->addAction(toQt(name));
        entry->setObjectName(toQt("actLanguage_" + name));
        KeepUntranslated(entry);
        all.push_back(entry);
    }
    for (QAction* entry : all) {
        entry->setCheckable(true);
        entries->addAction(entry);
        connect(entry, &QAction::triggered, this, [this, entry] { selectLanguage(entry); });
    }
    all[size_t(menu.checked + 1)]->setChecked(true);
}

void T_Main::selectLanguage(QAction* entry)
{
    entry->setChecked(true);
    const bool builtIn = entry->objectName() == "actLanguageDefault";
    SelectLanguage(program_->settings.lang, builtIn ? std::string() : fromQt(entry->text()));
    RetranslateMainWindow(true);
}

void T_Main::RetranslateMainWindow(bool force)
{
    brisk::RetranslateMainWindow(*texts_, builtInTexts_, program_->settings.lang, ProgramDir(), force);
    program_->session.MessagesChanged();
    applyEditHints();
    refreshViews();
}

} // namespace brisk
