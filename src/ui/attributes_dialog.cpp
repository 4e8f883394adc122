#include "ui/attributes_dialog.h"

#include "session/entry_names.h"
#include "ui/qt_text.h"
#include "ui/qt_translatable_form.h"
#include "ui/window_language.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace brisk {

namespace {

constexpr const char* kWhoNames[3] = {"Owner", "Group", "Public"};
constexpr const char* kWhatNames[3] = {"Read", "Write", "Execute"};
// The widest the list of names may make the window; more is elided.
constexpr int kNamesWidth = 360;

Qt::CheckState checkStateOf(BoxState state)
{
    return state == BoxState::Mixed ? Qt::PartiallyChecked
           : state == BoxState::Checked ? Qt::Checked
                                        : Qt::Unchecked;
}

// "index.html", or "3 entries: a, b, c" for several.
QString namesText(const std::vector<AttributeEntry>& entries)
{
    QString names;
    for (const AttributeEntry& entry : entries)
        names += (names.isEmpty() ? "" : ", ") + toQt(PrintableName(entry.name));
    return entries.size() == 1 ? names : QString("%1 entries: %2").arg(entries.size()).arg(names);
}

} // namespace

T_ChMod::T_ChMod(AttributeForm& form, QWidget* parent) : QDialog(parent), form_(form)
{
    setObjectName("T_ChMod");
    setWindowTitle(AttributeForm::kCaption);
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    const QString names = namesText(form_.entries());
    auto* lbNames = new QLabel(this);
    lbNames->setObjectName("lbNames");
    lbNames->setTextFormat(Qt::PlainText);
    lbNames->setText(lbNames->fontMetrics().elidedText(names, Qt::ElideRight, kNamesWidth));
    lbNames->setToolTip(names);
    KeepUntranslated(lbNames);

    edManual_ = new QLineEdit(this);
    edManual_->setObjectName("edManual");
    edManual_->setMaxLength(int(AttributeForm::kModeDigits));
    edManual_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-7]{0,3}"), edManual_));
    edManual_->setFixedWidth(edManual_->fontMetrics().horizontalAdvance("00000") + 12);
    connect(edManual_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!form_.editModeText(fromQt(text)))
            return showMode();
        showBoxes();
    });
    auto* lbManual = new QLabel(AttributeForm::kManual, this);
    lbManual->setBuddy(edManual_);
    lbSymbolic_ = new QLabel(this);
    lbSymbolic_->setObjectName("lbSymbolic");
    lbSymbolic_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* manual = new QHBoxLayout;
    manual->addWidget(lbManual);
    manual->addWidget(edManual_);
    manual->addSpacing(12);
    manual->addWidget(lbSymbolic_);
    manual->addStretch(1);

    auto* btApply = new QPushButton(AttributeForm::kApply, this);
    btApply->setObjectName("btApply");
    btApply->setProperty("tag", AttributeForm::kApplyTag);
    btApply->setDefault(true);
    connect(btApply, &QPushButton::clicked, this, [this] {
        form_.apply();
        done(AttributeForm::kApplyTag);
    });
    auto* btCancel = new QPushButton(AttributeForm::kCancel, this);
    btCancel->setObjectName("btCancel");
    btCancel->setProperty("tag", AttributeForm::kCancelTag);
    btCancel->setAutoDefault(false);
    connect(btCancel, &QPushButton::clicked, this, &T_ChMod::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btApply);
    buttons->addWidget(btCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbNames);
    layout->addWidget(buildBoxes());
    layout->addLayout(manual);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ApplyLanguage(*this, "T_ChMod");
    showBoxes();
    showMode();
}

QWidget* T_ChMod::buildBoxes()
{
    auto* group = new QGroupBox("Permissions", this);
    auto* grid = new QGridLayout(group);
    for (int bit = 0; bit < kModeBitCount; ++bit) {
        const int who = bit / 3, what = bit % 3;
        if (what == 0)
            grid->addWidget(new QLabel(kWhoNames[who], group), who, 0);
        auto* box = new QCheckBox(kWhatNames[what], group);
        box->setObjectName(QString("cb%1%2").arg(kWhoNames[who], kWhatNames[what]));
        // Qt has already moved the box on; the form decides its state.
        connect(box, &QCheckBox::clicked, this, [this, bit] {
            form_.clickBox(bit);
            showBoxes();
            showMode();
        });
        grid->addWidget(box, who, what + 1);
        boxes_[bit] = box;
    }
    grid->setHorizontalSpacing(16);
    return group;
}

// A box offers the mixed state only while it has it, so a click can never lead back to it.
void T_ChMod::showBoxes()
{
    for (int bit = 0; bit < kModeBitCount; ++bit) {
        const QSignalBlocker block(boxes_[bit]);
        boxes_[bit]->setTristate(form_.box(bit) == BoxState::Mixed);
        boxes_[bit]->setCheckState(checkStateOf(form_.box(bit)));
    }
    lbSymbolic_->setText(toQt(form_.symbolicText()));
}

void T_ChMod::showMode()
{
    if (edManual_->text() != toQt(form_.modeText()))
        edManual_->setText(toQt(form_.modeText()));
}

void T_ChMod::reject()
{
    done(AttributeForm::kCancelTag);
}

bool EditAttributes(QWidget* parent, AttributeForm& form)
{
    T_ChMod dialog(form, parent);
    return dialog.exec() == AttributeForm::kApplyTag;
}

} // namespace brisk
