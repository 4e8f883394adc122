#include "ui/options_dialog.h"
#include "ui/window_language.h"

#include "ui/qt_text.h"
#include "ui/qt_translatable_form.h"
#include "ui/stored_font.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace brisk {

namespace {

const QColor kSilver(192, 192, 192);

// White for an active box, silver for an inactive one; the text stays black on both.
void markBox(QWidget* box, bool white)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, white ? QColor(Qt::white) : kSilver);
    palette.setColor(QPalette::Text, Qt::black);
    box->setPalette(palette);
}

void fillList(QListWidget* list, const std::vector<std::string>& items, int selected)
{
    const QSignalBlocker quiet(list);
    list->clear();
    for (const std::string& item : items)
        list->addItem(toQt(item));
    list->setCurrentRow(selected);
}

} // namespace

T_Options::T_Options(OptionsForm& form, QWidget* parent) : QDialog(parent), msl(form.msl), form_(form)
{
    setObjectName("T_Options");
    setWindowTitle(OptionsForm::kCaption);
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    pages_ = new QStackedWidget(this);
    pages_->setObjectName("pcOptions");
    for (QWidget* body : {buildConnectionPage(), buildTransferPage(), buildLogPage(), buildKeepAlivePage(),
                          buildProxyPage(), buildDisplayPage(), buildLanguagePage()})
        pages_->addWidget(page(pages_->count(), body));

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    ok->setObjectName("btOK");
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole)->setObjectName("btCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &T_Options::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &T_Options::reject);

    auto* middle = new QHBoxLayout;
    middle->addWidget(buildTree());
    middle->addWidget(pages_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(middle, 1);
    layout->addWidget(buttons);

    // Translated before the values go in, so a language file never replaces them.
    ApplyLanguage(*this, "T_Options", {{"msl", &msl}, {"tvOptions", &nodeTexts_}});
    labelTree();
    form_.previewLanguage = [this](const std::string& langFile) {
        PreviewLanguage(*this, "T_Options", langFile, {{"msl", &msl}, {"tvOptions", &nodeTexts_}});
        labelTree();
    };
    refreshChoices();
    refreshLists();
    refreshRules();
    showPage(form_.page);
}

T_Options::~T_Options()
{
    form_.previewLanguage = nullptr;
}

void T_Options::accept()
{
    form_.ok();
    QDialog::accept();
}

QWidget* T_Options::buildTree()
{
    tvOptions_ = new QTreeWidget(this);
    tvOptions_->setObjectName("tvOptions");
    tvOptions_->header()->hide();
    std::vector<QTreeWidgetItem*> nodes;
    for (const OptionsForm::Page& entry : OptionsForm::kPages) {
        auto* node = entry.parent < 0 ? new QTreeWidgetItem(tvOptions_)
                                      : new QTreeWidgetItem(nodes[size_t(entry.parent)]);
        node->setData(0, Qt::UserRole, int(nodes.size()));
        nodes.push_back(node);
        nodeTexts_.items().push_back(entry.node);
    }
    tvOptions_->expandAll();
    labelTree();
    connect(tvOptions_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) {
        if (node)
            showPage(node->data(0, Qt::UserRole).toInt());
    });
    return tvOptions_;
}

// The nodes' texts come from a list of their own, so a language file reaches them as tvOptions.Items.N.
void T_Options::labelTree()
{
    int widest = 0;
    QTreeWidgetItemIterator node(tvOptions_);
    for (const std::string& text : nodeTexts_.items()) {
        if (!*node)
            break;
        (*node)->setText(0, toQt(text));
        widest = std::max(widest, tvOptions_->fontMetrics().horizontalAdvance(toQt(text)));
        ++node;
    }
    tvOptions_->setFixedWidth(widest + 2 * tvOptions_->indentation() + 16);
}

void T_Options::showPage(int tag)
{
    form_.page = tag;
    pages_->setCurrentIndex(tag);
    QTreeWidgetItemIterator node(tvOptions_);
    for (int at = 0; *node && at < tag; ++at)
        ++node;
    const QSignalBlocker quiet(tvOptions_);
    tvOptions_->setCurrentItem(*node);
}

// A page: its header line above its controls.
QWidget* T_Options::page(int tag, QWidget* body)
{
    auto* frame = new QWidget(this);
    frame->setObjectName(QString("tsPage%1").arg(tag));
    auto* column = new QVBoxLayout(frame);
    column->setContentsMargins(0, 0, 0, 0);
    if (const char* header = OptionsForm::kPages[size_t(tag)].header; header[0]) {
        auto* line = new QLabel(header, frame);
        line->setObjectName(QString("lbHeader%1").arg(tag));
        QFont bold = line->font();
        bold.setBold(true);
        line->setFont(bold);
        column->addWidget(line);
    }
    column->addWidget(body, 1);
    return frame;
}

QLineEdit* T_Options::boundEdit(std::string& field, const char* name)
{
    auto* edit = new QLineEdit(toQt(field), this);
    KeepUntranslated(edit);   // the user's values, not texts of the program
    edit->setObjectName(name);
    connect(edit, &QLineEdit::textEdited, this, [&field](const QString& text) { field = fromQt(text); });
    return edit;
}

QCheckBox* T_Options::boundCheck(const QString& text, bool& field, const char* name)
{
    auto* check = new QCheckBox(text, this);
    check->setObjectName(name);
    check->setChecked(field);
    connect(check, &QCheckBox::toggled, this, [this, &field](bool on) {
        field = on;
        refreshRules();
    });
    return check;
}

QSpinBox* T_Options::boundNumber(NumberBox& box, const char* name)
{
    auto* number = new QSpinBox(this);
    number->setObjectName(name);
    number->setRange(box.min(), box.max());
    number->setValue(box.value());
    connect(number, &QSpinBox::valueChanged, this, [&box](int value) { box.setText(std::to_string(value)); });
    return number;
}

QGroupBox* T_Options::boundRadios(const QString& title, const char* name, int& field, Radios radios, int columns)
{
    auto* box = new QGroupBox(title, this);
    box->setObjectName(name);
    auto* group = new QButtonGroup(box);
    auto* grid = new QGridLayout(box);
    int id = 0;
    for (const auto& [radioName, text] : radios) {
        auto* radio = new QRadioButton(text, box);
        radio->setObjectName(radioName);
        group->addButton(radio, id);
        grid->addWidget(radio, id / columns, id % columns);
        ++id;
    }
    connect(group, &QButtonGroup::idClicked, this, [this, &field](int tag) {
        field = tag;
        refreshRules();
    });
    radioGroups_.emplace_back(group, &field);
    return box;
}

QPushButton* T_Options::button(const char* name, const QString& text, void (OptionsForm::*run)())
{
    auto* push = new QPushButton(text, this);
    push->setObjectName(name);
    push->setAutoDefault(false);
    connect(push, &QPushButton::clicked, this, [this, push] { runButton(push); });
    buttonActions_[push] = run;
    return push;
}

// The editors may open a prompt with its own event loop: nothing of the slot is read after it.
void T_Options::runButton(QPushButton* push)
{
    const auto action = buttonActions_.find(push);
    if (action == buttonActions_.end())
        return;
    (form_.*(action->second))();
    refreshLists();
}

QListWidget* T_Options::list(const char* name, void (OptionsForm::*select)(int))
{
    auto* items = new QListWidget(this);
    items->setObjectName(name);
    connect(items, &QListWidget::currentRowChanged, this, [this, select](int row) { (form_.*select)(row); });
    return items;
}

QLabel* T_Options::label(const QString& text, QWidget* buddy)
{
    auto* caption = new QLabel(text, this);
    caption->setObjectName(QString("la") + buddy->objectName().mid(2));
    caption->setBuddy(buddy);
    return caption;
}

void T_Options::refreshChoices()
{
    for (const auto& [group, field] : radioGroups_)
        if (QAbstractButton* radio = group->button(*field))
            radio->setChecked(true);
}

// What the list editors and the choosers change.
void T_Options::refreshLists()
{
    fillList(lbExt_, form_.extensions(), form_.selectedExtension());
    fillList(lbCmdKeep_, form_.commands(), form_.selectedCommand());
    fillList(lbLanguages_, form_.languages(), form_.selectedLanguage());
    edLogFile_->setText(toQt(form_.logFile));
    edIniPath_->setText(toQt(form_.iniPath));
    btFont_->setFont(storedFont(form_.font, font()));
    QPalette palette = btFont_->palette();
    palette.setColor(QPalette::ButtonText, storedColor(form_.font.color, this->palette().color(QPalette::ButtonText)));
    btFont_->setPalette(palette);
}

void T_Options::refreshRules()
{
    gbProxy_->setEnabled(form_.proxyPanelEnabled());
    gbSocks_->setEnabled(form_.socksPanelEnabled());
    for (QLineEdit* edit : gbProxy_->findChildren<QLineEdit*>())
        markBox(edit, form_.proxyPanelEnabled());
    for (QLineEdit* edit : gbSocks_->findChildren<QLineEdit*>())
        markBox(edit, form_.socksPanelEnabled());
    edProxyPsw_->setEchoMode(form_.proxyPswMask ? QLineEdit::Password : QLineEdit::Normal);
    edSocksPsw_->setEchoMode(form_.socksPswMask ? QLineEdit::Password : QLineEdit::Normal);
    edAnonymous_->setEnabled(form_.addressEnabled());
    markBox(edAnonymous_, form_.addressEnabled());
    gbFwType_->setEnabled(form_.firewallTypeEnabled());
    markBox(edLogFile_, form_.logFileWhite());
    for (QWidget* box : {static_cast<QWidget*>(lbCmdKeep_), static_cast<QWidget*>(seStartKeep_),
                         static_cast<QWidget*>(seDurationKeep_)})
        markBox(box, form_.keepAliveWhite());
    lbLanguages_->setEnabled(form_.languageListEnabled());
    laLangFile_->setEnabled(form_.languageListEnabled());
}

bool EditOptions(QWidget* parent, OptionsForm& form)
{
    T_Options dialog(form, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace brisk
