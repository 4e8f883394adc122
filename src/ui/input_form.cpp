#include "ui/input_form.h"

#include "ui/qt_text.h"
#include "ui/window_language.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace brisk {
namespace {
// What a QLineEdit can hold at most.
constexpr size_t kEditLimit = 32767;
} // namespace

TInputForm::TInputForm(const PromptRequest& request, QWidget* parent)
    : QDialog(parent),
      edText_(new QLineEdit(this)),
      cbMask_(new QCheckBox(tr("Mask password"), this)),
      maxLength_(static_cast<int>(std::min(request.maxLength, kEditLimit)))
{
    auto* label = new QLabel(this);
    label->setObjectName("lbPrompt");
    label->setTextFormat(Qt::PlainText);
    label->setBuddy(edText_);
    edText_->setObjectName("edText");
    edText_->setMaxLength(maxLength_);
    cbMask_->setObjectName("cbMask");
    cbMask_->setVisible(request.masked);
    cbMask_->setChecked(request.masked);
    edText_->setEchoMode(request.masked ? QLineEdit::Password : QLineEdit::Normal);
    connect(cbMask_, &QCheckBox::toggled, this,
            [this](bool on) { edText_->setEchoMode(on ? QLineEdit::Password : QLineEdit::Normal); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(edText_);
    layout->addWidget(cbMask_);
    layout->addWidget(buttons);
    setMinimumWidth(360);

    // The caller's texts (from its own message list) go in after the window's own are translated.
    ApplyLanguage(*this, "TInputForm");
    setWindowTitle(toQt(request.title));
    label->setText(toQt(request.label));
    edText_->setText(toQt(request.text));
    edText_->selectAll();
}

std::string TInputForm::text() const
{
    return fromQt(edText_->text().left(maxLength_));
}

bool InputPrompt(QWidget* parent, const PromptRequest& request, std::string& answer)
{
    TInputForm form(request, parent);
    if (form.exec() != QDialog::Accepted)
        return false;
    answer = form.text();
    return true;
}

} // namespace brisk
