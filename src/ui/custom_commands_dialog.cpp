#include "ui/custom_commands_dialog.h"

#include "session/custom_command_editor.h"
#include "ui/qt_text.h"
#include "ui/window_language.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace brisk {

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& text, int tag = 0)
{
    auto* push = new QPushButton(text, parent);
    push->setObjectName(name);
    push->setAutoDefault(false);
    if (tag)
        push->setProperty("tag", tag);
    return push;
}

} // namespace

T_FCmd::T_FCmd(CustomCommandEditor& model, QWidget* parent) : QDialog(parent), model_(model)
{
    setObjectName("T_FCmd");
    setWindowTitle("Commands");
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    buildWidgets();
    ApplyLanguage(*this, "T_FCmd");
    showEntries();
    resize(520, 300);
}

void T_FCmd::buildWidgets()
{
    lbLabels_ = new QListWidget(this);
    lbLabels_->setObjectName("lbLabels");
    lbLabels_->setMinimumWidth(180);
    edLabel_ = new QLineEdit(this);
    edLabel_->setObjectName("edLabel");
    edCommand_ = new QLineEdit(this);
    edCommand_->setObjectName("edCommand");
    edCommand_->setMinimumWidth(220);

    connect(lbLabels_, &QListWidget::currentRowChanged, this, [this](int row) { picked(row); });
    connect(lbLabels_, &QListWidget::itemDoubleClicked, this, [this] { done(kSelect); });
    connect(edLabel_, &QLineEdit::textEdited, this, [this](const QString& text) {
        model_.setLabel(fromQt(text));
        if (QListWidgetItem* item = lbLabels_->item(model_.selected()))
            item->setText(toQt(model_.label()));
    });
    connect(edCommand_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.setCommand(fromQt(text)); });

    auto* fields = new QFormLayout;
    fields->setRowWrapPolicy(QFormLayout::WrapAllRows);
    fields->addRow("Label", edLabel_);
    fields->addRow("Command text", edCommand_);
    auto* top = new QHBoxLayout;
    top->addWidget(lbLabels_, 1);
    top->addLayout(fields, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buildButtons());
}

QLayout* T_FCmd::buildButtons()
{
    QPushButton* btAdd = button(this, "btAdd", "Add");
    btRemove_ = button(this, "btRemove", "Remove");
    QPushButton* btSelect = button(this, "btSelect", "Select", kSelect);
    QPushButton* btClose = button(this, "btClose", "Close", kClose);
    connect(btAdd, &QPushButton::clicked, this, [this] {
        model_.add();
        showEntries();
        edLabel_->setFocus();
    });
    connect(btRemove_, &QPushButton::clicked, this, [this] {
        model_.remove();
        showEntries();
    });
    connect(btSelect, &QPushButton::clicked, this, [this] { done(kSelect); });
    connect(btClose, &QPushButton::clicked, this, [this] { done(kClose); });

    auto* row = new QHBoxLayout;
    row->addWidget(btAdd);
    row->addWidget(btRemove_);
    row->addStretch(1);
    row->addWidget(btSelect);
    row->addWidget(btClose);
    return row;
}

void T_FCmd::showEntries()
{
    const QSignalBlocker block(lbLabels_);
    lbLabels_->clear();
    for (const std::string& label : model_.labels())
        lbLabels_->addItem(toQt(label));
    lbLabels_->setCurrentRow(model_.selected());
    showPicked();
}

void T_FCmd::showPicked()
{
    edLabel_->setText(toQt(model_.label()));
    edCommand_->setText(toQt(model_.command()));
    for (QLineEdit* edit : {edLabel_, edCommand_})
        edit->setReadOnly(!model_.editable());
    btRemove_->setEnabled(model_.editable());
}

void T_FCmd::picked(int row)
{
    model_.select(row);
    showPicked();
}

void T_FCmd::reject()
{
    done(kClose);
}

} // namespace brisk
