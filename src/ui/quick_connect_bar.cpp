#include "ui/quick_connect_bar.h"

#include "session/quick_connect.h"
#include "ui/qt_text.h"
#include "ui/qt_translatable_form.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace brisk {

namespace {

QLineEdit* lineEdit(const char* name, const QString& tip)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setToolTip(tip);
    return edit;
}

QLabel* label(const char* name, const QString& text)
{
    auto* label = new QLabel(text);
    label->setObjectName(name);
    return label;
}

QPushButton* button(const char* name, const QString& text, const std::function<void()>& run)
{
    auto* push = new QPushButton(text);
    push->setObjectName(name);
    QObject::connect(push, &QPushButton::clicked, push, [run] { run(); });
    return push;
}

} // namespace

QuickConnectBar::QuickConnectBar(QuickConnect& model, QWidget* parent) : QWidget(parent), model_(model)
{
    setObjectName("quickConnectBar");
    buildBoxes();
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 2, 2);
    grid->addWidget(label("lbHost", "Host:"), 0, 0);
    grid->addWidget(address_, 0, 1, 1, 3);
    grid->addWidget(label("lbPort", "Port:"), 0, 4);
    grid->addWidget(port_, 0, 5);
    grid->addWidget(label("lbUser", "User:"), 1, 0);
    grid->addWidget(user_, 1, 1);
    grid->addWidget(label("lbPassword", "Password:"), 1, 2);
    grid->addWidget(password_, 1, 3);
    grid->addWidget(connect_, 1, 4);
    grid->addWidget(save_, 1, 5);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void QuickConnectBar::buildBoxes()
{
    address_ = new QComboBox;
    address_->setObjectName("qcAddress");
    KeepDataUntranslated(address_); // the recent addresses are the user's
    address_->setEditable(true);
    address_->setInsertPolicy(QComboBox::NoInsert);
    // Long recent addresses must not widen the remote side beyond its half of the window.
    address_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    address_->setMinimumContentsLength(12);
    address_->setToolTip("A host name or a whole address; the recent ones are in the list");
    user_ = lineEdit("qcUser", "Overrides the user of the address; none logs in anonymously");
    password_ = lineEdit("qcPassword", "Overrides the password of the address; none is asked for");
    password_->setEchoMode(QLineEdit::Password);
    port_ = lineEdit("qcPort", "Overrides the port of the address (21 by default)");
    port_->setMaximumWidth(port_->fontMetrics().horizontalAdvance("0000000") + 16);
    connect_ = button("qcConnect", "Connect", [this] {
        store();
        if (onConnect)
            onConnect();
    });
    save_ = button("qcSave", "Save as site", [this] {
        if (onSave)
            onSave();
    });
    save_->setToolTip("Stores the site last opened from this bar in the site list");
    for (QLineEdit* edit : {address_->lineEdit(), user_, password_, port_}) {
        connect(edit, &QLineEdit::textEdited, this, [this] { store(); });
        connect(edit, &QLineEdit::returnPressed, connect_, &QPushButton::click);
    }
    for (QWidget* box : std::initializer_list<QWidget*>{address_, user_, password_, port_, connect_, save_})
        box->setFocusPolicy(Qt::ClickFocus);
    connect(address_, &QComboBox::activated, this, [this](int index) { historyChosen(index); });
}

void QuickConnectBar::refresh(bool canConnect, bool canSave)
{
    QStringList history;
    for (const std::string& address : model_.history())
        history.push_back(toQt(address));
    QStringList shown;
    for (int i = 0; i < address_->count(); ++i)
        shown.push_back(address_->itemText(i));
    if (shown != history) {
        const QSignalBlocker block(address_);
        const QString typed = address_->currentText();
        address_->clear();
        address_->addItems(history);
        address_->setEditText(typed);
    }
    connect_->setEnabled(canConnect);
    save_->setEnabled(canSave);
}

void QuickConnectBar::store()
{
    model_.fields = {fromQt(address_->currentText()), fromQt(user_->text()), fromQt(password_->text()),
                     fromQt(port_->text())};
}

void QuickConnectBar::showFields()
{
    address_->setEditText(toQt(model_.fields.address));
    user_->setText(toQt(model_.fields.user));
    password_->setText(toQt(model_.fields.password));
    port_->setText(toQt(model_.fields.port));
}

void QuickConnectBar::historyChosen(int index)
{
    if (index < 0)
        return;
    model_.choose(size_t(index));
    showFields();
}

bool QuickConnectBar::focusNextPrevChild(bool next)
{
    const QList<QWidget*> order = {address_, user_, password_, port_};
    QWidget* focused = focusWidget();
    qsizetype at = -1;
    for (qsizetype i = 0; i < order.size(); ++i)
        if (focused && (focused == order[i] || order[i]->isAncestorOf(focused)))
            at = i;
    if (at < 0)
        return QWidget::focusNextPrevChild(next);
    order[(at + (next ? 1 : order.size() - 1)) % order.size()]->setFocus(Qt::TabFocusReason);
    return true;
}

} // namespace brisk
