#include "ui/site_properties_dialog.h"

#include "platform/program_dir.h"
#include "sites/server_info.h"
#include "ui/input_form.h"
#include "ui/message_boxes.h"
#include "ui/qt_text.h"
#include "ui/window_language.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace brisk {

TFFtpBase::TFFtpBase(SiteProperties& model, QWidget* parent, MessageList messages)
    : QDialog(parent), msl(std::move(messages)), model_(model)
{
    setObjectName("TFFtpBase");
    setWindowTitle(tr("FTP Server Properties"));
    auto* pages = new QTabWidget(this);
    pages->setObjectName("tabs");
    pages->addTab(buildSitePage(), tr("Site"));
    pages->addTab(buildListingPage(), tr("Listing"));
    pages->addTab(buildOptionsPage(), tr("Options"));

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QDialogButtonBox::Save)->setObjectName("btSave");
    buttons->addButton(QDialogButtonBox::Cancel)->setObjectName("btCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &TFFtpBase::save);
    connect(buttons, &QDialogButtonBox::rejected, this, &TFFtpBase::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addWidget(buttons);
    ApplyLanguage(*this, "TFFtpBase", {{"msl", &msl}});

    showLayouts();
    showPositions();
    refreshControls();
}

void TFFtpBase::save()
{
    if (!model_.save()) {
        const SiteFormError error = model_.check();
        const int text = error == SiteFormError::BadServer ? spmBadServer
                         : error == SiteFormError::BadPort ? spmBadPort
                                                           : spmMissingName;
        ShowError(this, msl[spmAttention], msl[text]);
        return;
    }
    accept();
}

void TFFtpBase::reject()
{
    model_.cancel();
    QDialog::reject();
}

void TFFtpBase::addLayout()
{
    const PromptRequest request{msl[spmNewHostType], msl[spmEnter], "", SiteLimits::AnswerName, false};
    std::string name;
    if (!InputPrompt(this, request, name))
        return;
    model_.addLayout(name);
    showLayouts();
    showPositions();
    refreshControls();
}

void TFFtpBase::editLayout()
{
    const int selected = model_.selectedLayout();
    if (selected <= 0) {
        addLayout();
        return;
    }
    std::string name = model_.layouts()[static_cast<size_t>(selected)].name;
    const PromptRequest request{msl[spmEditHostType], msl[spmEnter], name, SiteLimits::AnswerName, false};
    if (!InputPrompt(this, request, name))
        return;
    model_.editLayout(name);
    showLayouts();
}

void TFFtpBase::deleteLayout()
{
    if (!model_.deleteLayout())
        return;
    showLayouts();
    showPositions();
    refreshControls();
}

void TFFtpBase::layoutSelected(int row)
{
    model_.selectLayout(row);
    showPositions();
    refreshControls();
}

void TFFtpBase::browseLocalDir()
{
    const QString current = edLocalDir_->text().trimmed();
    const QString start = !current.isEmpty() && QDir(current).exists() ? current : toQt(ProgramDir());
    const QString chosen = QFileDialog::getExistingDirectory(this, tr("Initial Directory on Local Machine"), start);
    if (!chosen.isEmpty())
        edLocalDir_->setText(chosen);
}

void TFFtpBase::addSlashToggled(bool on)
{
    model_.setAddSlash(on);
    edInitDir_->setText(toQt(model_.form.initialDir));
}

void TFFtpBase::descriptionEdited()
{
    const QString text = meDesc_->toPlainText();
    model_.form.descLines.clear();
    if (text.isEmpty())
        return;
    for (const QString& line : text.split('\n'))
        model_.form.descLines.push_back(fromQt(line));
}

void TFFtpBase::showLayouts()
{
    const QSignalBlocker quiet(lbLayouts_);
    lbLayouts_->clear();
    for (const CustomLayout& layout : model_.layouts())
        lbLayouts_->addItem(toQt(layout.name));
    lbLayouts_->setCurrentRow(model_.selectedLayout());
}

void TFFtpBase::showPositions()
{
    for (size_t i = 0; i < edPositions_.size(); ++i)
        edPositions_[i]->setText(toQt(model_.form.positions[i]));
}

void TFFtpBase::refreshControls()
{
    edEmail_->setEnabled(model_.emailEnabled());
    for (QLineEdit* login : {edUser_, edPassword_, edAccount_})
        login->setEnabled(model_.loginEnabled());
    edPassword_->setEchoMode(model_.form.maskPassword ? QLineEdit::Password : QLineEdit::Normal);
    gbCustom_->setVisible(model_.customPanelVisible());
    for (QLineEdit* position : edPositions_)
        position->setEnabled(model_.positionFieldsEditable());
}

} // namespace brisk
