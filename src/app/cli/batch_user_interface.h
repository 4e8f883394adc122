#pragma once
#include "certificate_policy.h"
#include "platform/local_directory_port.h"
#include "session/user_interface.h"

#include <ostream>
#include <string>

namespace brisk::cli {

// The user of a command-line run: every removal question is answered with yes (the command
// line already said what to remove), prompts are cancelled, certificates are judged by the
// --trust and --insecure policy, messages go to stderr. Transfer
// figures go to `progress` when there is one.
class BatchUserInterface : public UserInterface {
public:
    explicit BatchUserInterface(std::ostream& err, ProgressSink* progress = nullptr) : err_(err), progress_(progress) {}

    bool InputPrompt(const PromptRequest&, std::string&) override { return false; }
    bool AskYesNo(const std::string&, const std::string&) override { return true; }
    void ShowMessage(const std::string& caption, const std::string& text) override
    {
        err_ << "brisklane-cli: " << caption << ": " << text << '\n';
    }
    bool EditSite(SiteProperties&) override { return false; }
    void ViewTextFile(const std::string&) override {}
    void OpenWithAssociatedProgram(const std::string&, const std::string&) override {}
    ProgressSink& Progress() override { return progress_ ? *progress_ : UserInterface::Progress(); }
    CertificateAnswer AskCertificate(const CertificateQuestion& question) override
    {
        return certificates.answer(question, err_);
    }

    CertificatePolicy certificates;

private:
    std::ostream& err_;
    ProgressSink* progress_;
};

// The local side of a command-line run: the process's current directory, never moved.
class FixedLocalDirectory : public LocalDirectory {
public:
    explicit FixedLocalDirectory(std::string dir) : dir_(std::move(dir)) {}
    const std::string& currentDir() const override { return dir_; }
    bool changeDirectory(const std::string&) override { return false; }

private:
    std::string dir_;
};

} // namespace brisk::cli
