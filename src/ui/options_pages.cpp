// The pages of the Preferences dialog, in the order of their tags.
#include "ui/options_dialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace brisk {

namespace {

QWidget* column(QWidget* parent, std::initializer_list<QWidget*> widgets)
{
    auto* body = new QWidget(parent);
    auto* layout = new QVBoxLayout(body);
    for (QWidget* widget : widgets)
        layout->addWidget(widget);
    layout->addStretch(1);
    return body;
}

QTabWidget* tabs(QWidget* parent, const char* name, std::initializer_list<std::pair<QWidget*, const char*>> pages)
{
    auto* tab = new QTabWidget(parent);
    tab->setObjectName(name);
    for (const auto& [body, caption] : pages)
        tab->addTab(body, caption);
    return tab;
}

// A group box holding a list and, below it, its buttons side by side.
QGroupBox* listGroup(QWidget* parent, const QString& title, const char* name, QListWidget* items,
                     std::initializer_list<QPushButton*> buttons)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    auto* row = new QHBoxLayout;
    for (QPushButton* button : buttons)
        row->addWidget(button);
    row->addStretch(1);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(items, 1);
    layout->addLayout(row);
    return box;
}

} // namespace

QWidget* T_Options::buildConnectionPage()
{
    edAnonymous_ = boundEdit(form_.anonymous, "edAnonymous");
    QSpinBox* timeOut = boundNumber(form_.timeOut, "seTimeOut");
    QSpinBox* retry = boundNumber(form_.retry, "seRetry");
    QSpinBox* transfers = boundNumber(form_.transfers, "seTransfers");
    QSpinBox* downLimit = boundNumber(form_.downLimit, "seDownLimit");
    QSpinBox* upLimit = boundNumber(form_.upLimit, "seUpLimit");
    auto* numbers = new QWidget(this);
    auto* grid = new QFormLayout(numbers);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addRow(label("Default Time Out", timeOut), timeOut);
    grid->addRow(label("Connections Retry", retry), retry);
    grid->addRow(label("Simultaneous transfers", transfers), transfers);
    grid->addRow(label("Download limit (KiB/s, 0: none)", downLimit), downLimit);
    grid->addRow(label("Upload limit (KiB/s, 0: none)", upLimit), upLimit);
    QWidget* body = column(this, {boundCheck("E-mail Address for anonymous connection", form_.mailAno, "cbAno"),
                                  edAnonymous_, numbers});
    return tabs(this, "pcConnection", {{body, OptionsForm::kPages[0].caption}});
}

QWidget* T_Options::buildTransferPage()
{
    QGroupBox* type = boundRadios("Default transfer type", "gbTransferMode", form_.transferMode,
                                  {{"rbAuto", "Auto-detect"}, {"rbAscii", "Ascii"}, {"rbBinary", "Binary"}}, 3);
    lbExt_ = list("lbExt", &OptionsForm::selectExtension);
    QGroupBox* extensions = listGroup(this, "Text Files Extension", "gbExt", lbExt_,
                                      {button("btExtAdd", "Add", &OptionsForm::addExtension),
                                       button("btExtModify", "Modify", &OptionsForm::modifyExtension),
                                       button("btExtRemove", "Remove", &OptionsForm::removeExtension)});
    auto* box = new QGroupBox(OptionsForm::kPages[1].caption, this);
    box->setObjectName("gbAsciiBinary");
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(type);
    layout->addWidget(extensions, 1);
    return box;
}

QWidget* T_Options::buildLogPage()
{
    edLogFile_ = boundEdit(form_.logFile, "edLogFile");
    auto* row = new QHBoxLayout;
    row->addWidget(edLogFile_, 1);
    row->addWidget(button("btLogFile", "Log File Name", &OptionsForm::chooseLogFile));
    auto* box = new QGroupBox(OptionsForm::kPages[2].caption, this);
    box->setObjectName("gbLog");
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(boundCheck("Enable Log", form_.log, "cbLog"));
    layout->addLayout(row);
    layout->addStretch(1);
    return box;
}

QWidget* T_Options::buildKeepAlivePage()
{
    seStartKeep_ = boundNumber(form_.startKeep, "seStartKeep");
    seDurationKeep_ = boundNumber(form_.durationKeep, "seDurationKeep");
    lbCmdKeep_ = list("lbCmdKeep", &OptionsForm::selectCommand);
    auto* box = new QGroupBox(OptionsForm::kPages[3].caption, this);
    box->setObjectName("gbKeepAlive");
    auto* numbers = new QFormLayout;
    numbers->addRow(label("Start after last command (seconds)", seStartKeep_), seStartKeep_);
    numbers->addRow(label("Duration (minutes)", seDurationKeep_), seDurationKeep_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(button("btCmdAdd", "Add", &OptionsForm::addCommand));
    buttons->addWidget(button("btCmdDelete", "Delete", &OptionsForm::deleteCommand));
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(boundCheck("Keep connection", form_.keep, "cbKeep"));
    layout->addLayout(numbers);
    layout->addWidget(lbCmdKeep_, 1);
    layout->addLayout(buttons);
    return box;
}

QWidget* T_Options::buildProxyPage()
{
    return tabs(this, "pcProxy", {{buildProxyTab(), OptionsForm::kPages[4].caption},
                                  {buildFirewallTab(), "FireWall"}});
}

QWidget* T_Options::buildProxyTab()
{
    QGroupBox* type = boundRadios("Connection type", "gbConnectionType", form_.connectionType,
                                  {{"rbDirect", "Direct connection"}, {"rbProxy", "Proxy"}, {"rbSocks4", "SOCKS 4"},
                                   {"rbSocks4A", "SOCKS 4A"}, {"rbSocks5", "SOCKS 5"}}, 3);
    auto* panels = new QHBoxLayout;
    panels->addWidget(buildProxyPanel());
    panels->addWidget(buildSocksPanel());
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->addWidget(type);
    layout->addLayout(panels);
    layout->addStretch(1);
    return body;
}

QGroupBox* T_Options::editPanel(const QString& title, const char* name, std::initializer_list<EditRow> rows,
                                QCheckBox* mask)
{
    auto* box = new QGroupBox(title, this);
    box->setObjectName(name);
    auto* layout = new QFormLayout(box);
    for (const EditRow& row : rows) {
        QLineEdit* edit = boundEdit(row.field, row.name);
        layout->addRow(label(row.caption, edit), edit);
    }
    layout->addRow(mask);
    return box;
}

QGroupBox* T_Options::buildProxyPanel()
{
    gbProxy_ = editPanel("Proxy", "gbProxy",
                         {{"Server", form_.proxyServer, "edProxyServer"}, {"Port", form_.proxyPort, "edProxyPort"},
                          {"Password", form_.proxyPsw, "edProxyPsw"}},
                         boundCheck("Masked Password", form_.proxyPswMask, "cbProxyPswMask"));
    edProxyPsw_ = gbProxy_->findChild<QLineEdit*>("edProxyPsw");
    return gbProxy_;
}

QGroupBox* T_Options::buildSocksPanel()
{
    gbSocks_ = editPanel("Sockets", "gbSocks",
                         {{"Server", form_.socksServer, "edSocksServer"}, {"Port", form_.socksPort, "edSocksPort"},
                          {"User Code", form_.socksUC, "edSocksUC"}, {"Password", form_.socksPsw, "edSocksPsw"}},
                         boundCheck("Masked Password", form_.socksPswMask, "cbSocksPswMask"));
    edSocksPsw_ = gbSocks_->findChild<QLineEdit*>("edSocksPsw");
    return gbSocks_;
}

QWidget* T_Options::buildFirewallTab()
{
    gbFwType_ = boundRadios("Type", "gbFwType", form_.fwType,
                            {{"rbFwGeneral", "General"}, {"rbFwSite", "SITE site"}, {"rbFwUser", "USER user"},
                             {"rbFwUserLogon", "USER with logon"}, {"rbFwUserPassAcct", "USER/PASS/ACCT"},
                             {"rbFwOpen", "OPEN site"}, {"rbFwCustom", "Custom"}}, 2);
    QLineEdit* separator = boundEdit(form_.fwSimbol, "edFwSimbol");
    separator->setMaxLength(1);
    separator->setMaximumWidth(separator->fontMetrics().horizontalAdvance("MM") + 16);
    auto* row = new QHBoxLayout;
    row->addWidget(label("Separator", separator));
    row->addWidget(separator);
    row->addStretch(1);
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->addWidget(boundCheck("Enable FireWall", form_.fwEnable, "cbFireWall"));
    layout->addWidget(gbFwType_);
    layout->addLayout(row);
    layout->addStretch(1);
    return body;
}

QWidget* T_Options::buildDisplayPage()
{
    edIniPath_ = boundEdit(form_.iniPath, "edIniPath");
    auto* directory = new QHBoxLayout;
    directory->addWidget(label("Initial Directory", edIniPath_));
    directory->addWidget(edIniPath_, 1);
    QPushButton* browse = button("btIniPath", "...", &OptionsForm::chooseDirectory);
    browse->setFixedWidth(browse->fontMetrics().horizontalAdvance("...") + 24);
    directory->addWidget(browse);
    btFont_ = button("btFont", "Font", &OptionsForm::chooseFont);
    auto* choices = new QHBoxLayout;
    choices->addWidget(boundRadios("Default Action :", "gbDefPrompt", form_.defPrompt,
                                   {{"rbSkip", "Skip"}, {"rbOverwrite", "Overwrite"}, {"rbResume", "Resume"}}));
    choices->addWidget(boundRadios("Date Format", "gbDateType", form_.dateType,
                                   {{"rbEurope", "Default (Europe)"}, {"rbUSA", "USA"}}));
    auto* box = new QGroupBox(OptionsForm::kPages[5].caption, this);
    box->setObjectName("gbDisplay");
    auto* layout = new QVBoxLayout(box);
    layout->addLayout(directory);
    layout->addWidget(btFont_, 0, Qt::AlignLeft);
    layout->addWidget(boundCheck("Overwrite confirmation (download)", form_.promptDownLoad, "cbPromptDownLoad"));
    layout->addWidget(boundCheck("Overwrite confirmation (upload)", form_.promptUpLoad, "cbPromptUpLoad"));
    layout->addLayout(choices);
    layout->addStretch(1);
    return box;
}

QWidget* T_Options::buildLanguagePage()
{
    lbLanguages_ = list("lbLanguages", &OptionsForm::selectLanguage);
    laLangFile_ = label("Language file", lbLanguages_);
    laLangFile_->setObjectName("laLangFile");
    auto* box = new QGroupBox(OptionsForm::kPages[6].caption, this);
    box->setObjectName("gbLanguage");
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(boundCheck("Use localization", form_.langOn, "cbLangOn"));
    layout->addWidget(laLangFile_);
    layout->addWidget(lbLanguages_, 1);
    return box;
}

} // namespace brisk
