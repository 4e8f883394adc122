#include "ui/qt_user_interface.h"

#include "ui/attributes_dialog.h"
#include "ui/carriage_return_dialog.h"
#include "ui/certificate_dialog.h"
#include "ui/custom_commands_dialog.h"
#include "ui/desktop_open.h"
#include "ui/file_choosers.h"
#include "ui/input_form.h"
#include "ui/message_boxes.h"
#include "ui/mirror_dialog.h"
#include "ui/options_dialog.h"
#include "ui/overwrite_dialog.h"
#include "ui/progress_window.h"
#include "ui/site_properties_dialog.h"
#include "ui/text_viewer.h"

#include <QApplication>

namespace brisk {

QtUserInterface::QtUserInterface(QWidget* parent) : parent_(parent) {}

QtUserInterface::~QtUserInterface() = default;

QWidget* QtUserInterface::dialogParent() const
{
    QWidget* modal = QApplication::activeModalWidget();
    return modal ? modal : parent_;
}

OverwriteChoice QtUserInterface::AskOverwrite(std::string& path)
{
    return brisk::AskOverwrite(parent_, path);
}

int QtUserInterface::ChooseLineEnding()
{
    return brisk::ChooseLineEnding(parent_);
}

CertificateAnswer QtUserInterface::AskCertificate(const CertificateQuestion& question)
{
    return brisk::AskCertificate(parent_, question, *msl_);
}

ProgressSink& QtUserInterface::Progress()
{
    if (!progress_)
        progress_ = std::make_unique<TProgress>([this] {
            if (cancel_)
                cancel_();
        }, parent_);
    return progress_->sink();
}

bool QtUserInterface::InputPrompt(const PromptRequest& request, std::string& answer)
{
    return brisk::InputPrompt(dialogParent(), request, answer);
}

bool QtUserInterface::AskYesNo(const std::string& caption, const std::string& text)
{
    return brisk::AskYesNo(parent_, caption, text);
}

void QtUserInterface::ShowMessage(const std::string& caption, const std::string& text)
{
    brisk::ShowMessage(parent_, caption, text);
}

void QtUserInterface::ShowError(const std::string& caption, const std::string& text)
{
    brisk::ShowError(dialogParent(), caption, text);
}

bool QtUserInterface::EditSite(SiteProperties& model)
{
    TFFtpBase dialog(model, parent_);
    return dialog.exec() == QDialog::Accepted;
}

bool QtUserInterface::EditAttributes(AttributeForm& form)
{
    return brisk::EditAttributes(parent_, form);
}

bool QtUserInterface::EditCustomCommands(CustomCommandEditor& model)
{
    T_FCmd dialog(model, parent_);
    return dialog.exec() == T_FCmd::kSelect;
}

bool QtUserInterface::EditMirror(MirrorForm& form)
{
    return brisk::EditMirror(parent_, form);
}

bool QtUserInterface::EditOptions(OptionsForm& form)
{
    return brisk::EditOptions(parent_, form);
}

bool QtUserInterface::AskFont(FontChoice& font)
{
    return brisk::AskFont(dialogParent(), font);
}

bool QtUserInterface::AskOpenFile(const FileDialogRequest& request, std::string& path)
{
    return brisk::AskOpenFile(dialogParent(), request, path);
}

bool QtUserInterface::AskSaveFile(const FileDialogRequest& request, std::string& path)
{
    return brisk::AskSaveFile(dialogParent(), request, path);
}

bool QtUserInterface::AskDirectory(const std::string& title, std::string& path)
{
    return brisk::AskDirectory(dialogParent(), title, path);
}

void QtUserInterface::ViewTextFile(const std::string& path)
{
    auto* viewer = new TextViewer(parent_);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    if (!viewer->load(path)) {
        delete viewer;
        brisk::ShowError(parent_, (*msl_)[msgAttention], (*msl_)[msgReadFileError] + " :" + path);
        return;
    }
    viewer->show();
}

// The desktop starts the associated program itself and offers no working directory for it.
void QtUserInterface::OpenWithAssociatedProgram(const std::string& path, const std::string&)
{
    if (!OpenWithDesktop(path)) {
        brisk::ShowError(parent_, (*msl_)[msgAttention], (*msl_)[msgOpenFileError] + " :" + path);
    }
}

void QtUserInterface::Changed()
{
    if (changed_)
        changed_();
}

} // namespace brisk
