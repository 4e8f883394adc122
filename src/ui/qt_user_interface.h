#pragma once
#include "i18n/main_messages.h"
#include "mirror/mirror_editor.h"
#include "session/user_interface.h"

#include <functional>
#include <memory>

class QWidget;

namespace brisk {

class TProgress;

// The program's questions and messages as Qt dialogs over a parent window.
class QtUserInterface : public UserInterface, public MirrorEditor {
public:
    explicit QtUserInterface(QWidget* parent = nullptr);
    ~QtUserInterface() override;

    void setParent(QWidget* parent) { parent_ = parent; }
    // The main window's message lists, for the failures shown here; they stay the window's, so a
    // language chosen later shows here too.
    void setMessages(const MainMessages& messages) { msl_ = &messages; }
    // What Changed() runs: the main window refreshes its views there.
    void setChangedHandler(std::function<void()> handler) { changed_ = std::move(handler); }
    // What the progress window's Cancel runs: the session's Stop, from a posted message.
    void setCancelHandler(std::function<void()> handler) { cancel_ = std::move(handler); }

    bool InputPrompt(const PromptRequest& request, std::string& answer) override;
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    void ShowMessage(const std::string& caption, const std::string& text) override;
    void ShowError(const std::string& caption, const std::string& text) override;
    bool EditSite(SiteProperties& model) override;
    bool EditAttributes(AttributeForm& form) override;
    bool EditCustomCommands(CustomCommandEditor& model) override;
    bool EditMirror(MirrorForm& form) override;
    bool EditOptions(OptionsForm& form) override;
    bool AskFont(FontChoice& font) override;
    bool AskOpenFile(const FileDialogRequest& request, std::string& path) override;
    bool AskSaveFile(const FileDialogRequest& request, std::string& path) override;
    bool AskDirectory(const std::string& title, std::string& path) override;
    void ViewTextFile(const std::string& path) override;
    void OpenWithAssociatedProgram(const std::string& path, const std::string& workingDir) override;
    OverwriteChoice AskOverwrite(std::string& path) override;
    int ChooseLineEnding() override;
    CertificateAnswer AskCertificate(const CertificateQuestion& question) override;
    // The progress window, made on first use.
    ProgressSink& Progress() override;
    void Changed() override;

    // The progress window, or nullptr while no transfer has needed it yet.
    TProgress* progressWindow() const { return progress_.get(); }

private:
    // The dialog open over the window, if any, else the window: what a new dialog is centred on.
    QWidget* dialogParent() const;

    QWidget* parent_;
    MainMessages builtIn_;
    const MainMessages* msl_ = &builtIn_;
    std::function<void()> changed_;
    std::function<void()> cancel_;
    std::unique_ptr<TProgress> progress_;
};

} // namespace brisk
