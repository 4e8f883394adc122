#pragma once
#include "session/options_form.h"

#include <QDialog>

#include <functional>
#include <map>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QTreeWidget;
class QVBoxLayout;

namespace brisk {

// The Preferences dialog ("Program Options") over OptionsForm: a navigation tree beside the pages
// it selects, "OK" and "Cancel". Every control writes its field of the form as it changes; which
// boxes are enabled, white or silver is the form's decision. "OK" runs the form's write-back.
class T_Options : public QDialog {
    Q_OBJECT
public:
    explicit T_Options(OptionsForm& form, QWidget* parent = nullptr);
    ~T_Options() override;

    // The dialog's message list (the form's own).
    MessageList& msl;

    void accept() override;
    // The page whose tag is `tag`, as its tree node selects it.
    void showPage(int tag);

private:
    using Radios = std::initializer_list<std::pair<const char*, const char*>>;
    struct EditRow {
        const char* caption;
        std::string& field;
        const char* name;
    };

    QWidget* buildTree();
    void labelTree();
    QWidget* page(int tag, QWidget* body);
    QWidget* buildConnectionPage();
    QWidget* buildTransferPage();
    QWidget* buildLogPage();
    QWidget* buildKeepAlivePage();
    QWidget* buildProxyPage();
    QWidget* buildProxyTab();
    QWidget* buildFirewallTab();
    QWidget* buildDisplayPage();
    QWidget* buildLanguagePage();
    QGroupBox* buildProxyPanel();
    QGroupBox* buildSocksPanel();
    QGroupBox* editPanel(const QString& title, const char* name, std::initializer_list<EditRow> rows, QCheckBox* mask);

    QLineEdit* boundEdit(std::string& field, const char* name);
    QCheckBox* boundCheck(const QString& text, bool& field, const char* name);
    QSpinBox* boundNumber(NumberBox& box, const char* name);
    QGroupBox* boundRadios(const QString& title, const char* name, int& field, Radios radios, int columns = 1);
    QPushButton* button(const char* name, const QString& text, void (OptionsForm::*run)());
    void runButton(QPushButton* push);
    QListWidget* list(const char* name, void (OptionsForm::*select)(int));
    QLabel* label(const QString& text, QWidget* buddy);

    void refreshRules();
    void refreshLists();
    void refreshChoices();

    OptionsForm& form_;
    std::map<QPushButton*, void (OptionsForm::*)()> buttonActions_;
    QTreeWidget* tvOptions_ = nullptr;
    // The navigation tree's node texts, top to bottom.
    MessageList nodeTexts_{{}};
    QStackedWidget* pages_ = nullptr;
    std::vector<std::pair<QButtonGroup*, int*>> radioGroups_;
    QLineEdit* edAnonymous_ = nullptr;
    QLineEdit* edLogFile_ = nullptr;
    QLineEdit* edIniPath_ = nullptr;
    QSpinBox* seStartKeep_ = nullptr;
    QSpinBox* seDurationKeep_ = nullptr;
    QListWidget* lbExt_ = nullptr;
    QListWidget* lbCmdKeep_ = nullptr;
    QListWidget* lbLanguages_ = nullptr;
    QLabel* laLangFile_ = nullptr;
    QGroupBox* gbProxy_ = nullptr;
    QGroupBox* gbSocks_ = nullptr;
    QGroupBox* gbFwType_ = nullptr;
    QLineEdit* edProxyPsw_ = nullptr;
    QLineEdit* edSocksPsw_ = nullptr;
    QPushButton* btFont_ = nullptr;
};

// Runs the dialog modally over `form` (opened already); true when it ended with "OK".
bool EditOptions(QWidget* parent, OptionsForm& form);

} // namespace brisk
