#pragma once
#include "platform/user_interface.h"
#include "session/attribute_form.h"
#include "session/custom_command_editor.h"
#include "sites/site_properties.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brisk::test {

// A UserInterface that answers from scripts and records everything it was asked and shown.
// An unscripted prompt or question fails the test and is answered with Cancel or No. Prompt
// answers are handed back exactly as scripted, even beyond the request's length limit, so that
// the callers' own limits are exercised.
class ScriptedUserInterface : public UserInterface {
public:
    struct Question {
        std::string caption;
        std::string text;
    };
    struct OpenedFile {
        std::string path;
        std::string workingDir;
    };

    void answerPrompt(std::string text) { promptAnswers_.emplace_back(std::move(text)); }
    void cancelPrompt() { promptAnswers_.emplace_back(std::nullopt); }
    void answerYes() { questionAnswers_.push_back(true); }
    void answerNo() { questionAnswers_.push_back(false); }
    // The overwrite prompt's answer; with SaveAs, `newPath` is the path typed.
    void answerOverwrite(OverwriteChoice choice, std::string newPath = {})
    {
        overwriteAnswers_.push_back({choice, std::move(newPath)});
    }
    // The "Carriage Return" dialog's answer: a line ending's value, 0 for "Do not change" or Cancel.
    void answerLineEnding(int value) { lineEndingAnswers_.push_back(value); }
    // The next file or directory chooser's answer; nullopt cancels it.
    void answerChooser(std::optional<std::string> path) { chooserAnswers_.push_back(std::move(path)); }
    void answerCertificate(CertificateAnswer answer) { certificateAnswers_.push_back(answer); }
    bool scriptUsedUp() const
    {
        return promptAnswers_.empty() && questionAnswers_.empty() && overwriteAnswers_.empty() &&
               lineEndingAnswers_.empty() && chooserAnswers_.empty() && fontAnswers_.empty() &&
               certificateAnswers_.empty();
    }

    bool InputPrompt(const PromptRequest& request, std::string& answer) override
    {
        prompts.push_back(request);
        if (promptAnswers_.empty()) {
            ADD_FAILURE() << "unscripted prompt: " << request.title;
            return false;
        }
        const std::optional<std::string> next = promptAnswers_.front();
        promptAnswers_.pop_front();
        if (!next)
            return false;
        answer = *next;
        return true;
    }

    bool AskYesNo(const std::string& caption, const std::string& text) override
    {
        questions.push_back({caption, text});
        if (questionAnswers_.empty()) {
            ADD_FAILURE() << "unscripted question: " << text;
            return false;
        }
        const bool yes = questionAnswers_.front();
        questionAnswers_.pop_front();
        return yes;
    }

    void ShowMessage(const std::string& caption, const std::string& text) override
    {
        messages.push_back({caption, text});
    }

    // Without an editor the site dialog is cancelled.
    bool EditSite(SiteProperties& model) override
    {
        ++siteEdits;
        if (!siteEditor || !siteEditor(model)) {
            model.cancel();
            return false;
        }
        return model.save();
    }
    // Fills the site dialog's form; false cancels it.
    std::function<bool(SiteProperties&)> siteEditor;

    bool EditAttributes(AttributeForm& form) override
    {
        ++attributeEdits;
        if (!attributeEditor) {
            ADD_FAILURE() << "unscripted attribute dialog";
            return false;
        }
        return attributeEditor(form);
    }
    // Drives the attribute dialog's form; true stands for "Apply" (call form.apply() first).
    std::function<bool(AttributeForm&)> attributeEditor;
    // The custom command dialog: what the user does in it, then true for Select; Close without one.
    bool EditCustomCommands(CustomCommandEditor& model) override
    {
        ++commandDialogs;
        return commandEditor && commandEditor(model);
    }
    std::function<bool(CustomCommandEditor&)> commandEditor;
    int commandDialogs = 0;

    bool EditMirror(MirrorForm& form) override
    {
        ++mirrorEdits;
        if (!mirrorEditor) {
            ADD_FAILURE() << "unscripted mirror dialog";
            return false;
        }
        return mirrorEditor(form);
    }
    // Drives the mirror dialog's form; true stands for "Execute", false for "Close".
    std::function<bool(MirrorForm&)> mirrorEditor;

    // The Preferences dialog: what the user does in its form, then true for "OK" (call form.ok()
    // first); "Cancel" without one.
    bool EditOptions(OptionsForm& form) override
    {
        ++optionsDialogs;
        return optionsEditor && optionsEditor(form);
    }
    std::function<bool(OptionsForm&)> optionsEditor;
    int optionsDialogs = 0;

    // The font chooser: the next scripted answer, or cancelled (nullopt or none scripted).
    bool AskFont(FontChoice& font) override
    {
        fontsAsked.push_back(font);
        if (fontAnswers_.empty())
            return false;
        const std::optional<FontChoice> next = fontAnswers_.front();
        fontAnswers_.pop_front();
        if (next)
            font = *next;
        return next.has_value();
    }
    void answerFont(std::optional<FontChoice> font) { fontAnswers_.push_back(std::move(font)); }
    std::vector<FontChoice> fontsAsked;

    // A chooser as asked: "open", "save" or "directory" (whose title and start path are kept in
    // the request's title and fileName).
    struct Chooser {
        std::string kind;
        FileDialogRequest request;
    };
    bool AskOpenFile(const FileDialogRequest& request, std::string& path) override
    {
        return chooser({"open", request}, path);
    }
    bool AskSaveFile(const FileDialogRequest& request, std::string& path) override
    {
        return chooser({"save", request}, path);
    }
    bool AskDirectory(const std::string& title, std::string& path) override
    {
        return chooser({"directory", {title, {}, path, {}}}, path);
    }

    void ViewTextFile(const std::string& path) override { viewedFiles.push_back(path); }

    void OpenWithAssociatedProgram(const std::string& path, const std::string& workingDir) override
    {
        openedFiles.push_back({path, workingDir});
    }

    OverwriteChoice AskOverwrite(std::string& path) override
    {
        overwriteAsked.push_back(path);
        if (overwriteAnswers_.empty()) {
            ADD_FAILURE() << "unscripted overwrite prompt: " << path;
            return OverwriteChoice::Cancel;
        }
        const auto [choice, newPath] = overwriteAnswers_.front();
        overwriteAnswers_.pop_front();
        if (choice == OverwriteChoice::SaveAs)
            path = newPath;
        return choice;
    }

    CertificateAnswer AskCertificate(const CertificateQuestion& question) override
    {
        certificates.push_back(question);
        if (certificateAnswers_.empty()) {
            ADD_FAILURE() << "unscripted certificate question: " << question.host;
            return CertificateAnswer::Cancel;
        }
        const CertificateAnswer answer = certificateAnswers_.front();
        certificateAnswers_.pop_front();
        return answer;
    }

    int ChooseLineEnding() override
    {
        ++lineEndingDialogs;
        if (lineEndingAnswers_.empty()) {
            ADD_FAILURE() << "unscripted line-ending dialog";
            return 0;
        }
        const int value = lineEndingAnswers_.front();
        lineEndingAnswers_.pop_front();
        return value;
    }

    // The progress window's calls, one line each: "open" (when it was closed), "start NAME SIZE
    // send|receive", "end", "close"; updates are only counted, with the last figure kept.
    struct RecordedProgress : ProgressSink {
        std::vector<std::string> calls;
        int updates = 0;
        int64_t lastCount = -1;
        bool shown = false;
        void open() override
        {
            if (!std::exchange(shown, true))
                calls.push_back("open");
        }
        void startFile(const std::string& name, int64_t size, bool sending) override
        {
            calls.push_back("start " + name + " " + std::to_string(size) + (sending ? " send" : " receive"));
        }
        void update(int64_t count) override { ++updates, lastCount = count; }
        void endFile() override { calls.push_back("end"); }
        void close() override
        {
            if (std::exchange(shown, false))
                calls.push_back("close");
        }
    } progress;
    ProgressSink& Progress() override { return progress; }

    void Changed() override { ++changes; }

    std::vector<PromptRequest> prompts;
    std::vector<Question> questions;
    std::vector<Question> messages;
    std::vector<std::string> viewedFiles;
    std::vector<OpenedFile> openedFiles;
    std::vector<std::string> overwriteAsked;
    std::vector<CertificateQuestion> certificates;
    int siteEdits = 0;
    std::vector<Chooser> choosers;
    int attributeEdits = 0;
    int lineEndingDialogs = 0;
    int mirrorEdits = 0;
    int changes = 0;

private:
    bool chooser(Chooser asked, std::string& path)
    {
        choosers.push_back(std::move(asked));
        if (chooserAnswers_.empty()) {
            ADD_FAILURE() << "unscripted chooser: " << choosers.back().kind;
            return false;
        }
        const std::optional<std::string> next = chooserAnswers_.front();
        chooserAnswers_.pop_front();
        if (next)
            path = *next;
        return next.has_value();
    }


    std::deque<std::optional<std::string>> promptAnswers_;
    std::deque<bool> questionAnswers_;
    std::deque<CertificateAnswer> certificateAnswers_;
    std::deque<std::pair<OverwriteChoice, std::string>> overwriteAnswers_;
    std::deque<int> lineEndingAnswers_;
    std::deque<std::optional<std::string>> chooserAnswers_;
    std::deque<std::optional<FontChoice>> fontAnswers_;
};

} // namespace brisk::test
