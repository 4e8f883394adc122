#include "ui/carriage_return_dialog.h"
#include "ui/window_language.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace brisk {

namespace {

// Object names by tag; they are the keys the translations will use.
constexpr const char* kButtonNames[] = {"rbUnchanged", "rbCrLf", "rbLfCr", "rbLf", "rbCr"};

} // namespace

T_Carrage::T_Carrage(LineEndingChoice& model, QWidget* parent) : QDialog(parent), model_(model)
{
    setObjectName("T_Carrage");
    setWindowTitle(LineEndingChoice::kCaption);
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* group = new QGroupBox(this);
    group->setObjectName("gbLineEnding");
    auto* choices = new QVBoxLayout(group);
    for (const LineEndingChoice::Option& option : LineEndingChoice::kOptions) {
        const int tag = int(option.value);
        auto* button = new QRadioButton(option.text, group);
        button->setObjectName(kButtonNames[tag]);
        button->setProperty("tag", tag);
        button->setChecked(option.value == model_.selected());
        connect(button, &QRadioButton::toggled, this, [this, option](bool on) {
            if (on)
                model_.select(option.value);
        });
        choices->addWidget(button);
        buttons_[tag] = button;
    }

    auto* box = new QDialogButtonBox(this);
    QPushButton* apply = box->addButton(LineEndingChoice::kApply, QDialogButtonBox::AcceptRole);
    apply->setObjectName("btApply");
    apply->setDefault(true);
    box->addButton(LineEndingChoice::kCancel, QDialogButtonBox::RejectRole)->setObjectName("btCancel");
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(box);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ApplyLanguage(*this, "T_Carrage");
}

void T_Carrage::accept()
{
    model_.apply();
    QDialog::accept();
}

void T_Carrage::reject()
{
    model_.cancel();
    QDialog::reject();
}

int ChooseLineEnding(QWidget* parent)
{
    LineEndingChoice model;
    T_Carrage dialog(model, parent);
    dialog.exec();
    return int(model.result());
}

} // namespace brisk
