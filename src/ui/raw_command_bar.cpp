#include "ui/raw_command_bar.h"

#include "session/raw_command_box.h"
#include "ui/qt_text.h"
#include "ui/qt_translatable_form.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace brisk {

namespace {

QPushButton* button(const char* name, const QString& text, const QString& tip)
{
    auto* push = new QPushButton(text);
    push->setObjectName(name);
    push->setToolTip(tip);
    push->setFocusPolicy(Qt::ClickFocus);
    return push;
}

} // namespace

RawCommandBar::RawCommandBar(RawCommandBox& model, QWidget* parent) : QWidget(parent), model_(model)
{
    setObjectName("rawCommandBar");
    box_ = new QComboBox;
    box_->setObjectName("cbRawCommand");
    KeepDataUntranslated(box_); // the commands typed are the user's
    box_->setEditable(true);
    box_->setInsertPolicy(QComboBox::NoInsert);
    // Completing inline would send a longer command than the one typed.
    box_->setCompleter(nullptr);
    box_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box_->setMinimumContentsLength(12);
    box_->setFocusPolicy(Qt::ClickFocus);
    box_->setToolTip("A command sent to the server as typed; the reply shows in the log");
    doIt_ = button("btDoIt", "Do It", "Send the command to the server");
    commands_ = button("btCommands", "Commands", "The stored custom commands");

    connect(box_, &QComboBox::editTextChanged, this, [this](const QString& text) { model_.setText(fromQt(text)); });
    connect(box_, &QComboBox::activated, this, [this](int index) { model_.select(index); });
    connect(box_->lineEdit(), &QLineEdit::returnPressed, doIt_, &QPushButton::click);
    connect(doIt_, &QPushButton::clicked, this, [this] {
        if (onDoIt)
            onDoIt();
    });
    connect(commands_, &QPushButton::clicked, this, [this] {
        if (onCommands)
            onCommands();
    });

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 2, 2);
    row->addWidget(box_, 1);
    row->addWidget(doIt_);
    row->addWidget(commands_);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setVisible(false);
}

RawCommandBar::~RawCommandBar()
{
    box_->blockSignals(true);
}

void RawCommandBar::refresh(bool canSend)
{
    setVisible(model_.visible());
    showItems();
    doIt_->setEnabled(canSend);
}

void RawCommandBar::showItems()
{
    const QSignalBlocker block(box_);
    QStringList items;
    for (const std::string& item : model_.items())
        items.push_back(toQt(item));
    QStringList shown;
    for (int i = 0; i < box_->count(); ++i)
        shown.push_back(box_->itemText(i));
    if (shown != items) {
        box_->clear();
        box_->addItems(items);
    }
    // Only what differs: setting the edit again would move the cursor of someone typing.
    if (box_->currentIndex() != model_.selected())
        box_->setCurrentIndex(model_.selected());
    const QString text = toQt(model_.text());
    if (box_->currentText() != text)
        box_->setEditText(text);
}

} // namespace brisk
