#pragma once
#include "mirror/mirror_editor.h"
#include "session/attribute_form.h"
#include "session/custom_command_editor.h"
#include "session/user_interface.h"
#include "sites/site_properties.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brisk::test {

// A UserInterface (and mirror dialog) that answers from scripts and records everything it was asked and shown.
// An unscripted prompt or question fails the test and is answered with Cancel or No. Prompt
// answers are handed back exactly as scripted, even beyond the request's length limit, so that
// the callers' own limits are exercised.
class ScriptedUserInterface : public UserInterface, public MirrorEditor {
public:
    struct Question {
        std::string caption;
        std::string text;
    };
    struct OpenedFile {
        std::string path;
        std::string workingDir;
    };
    // A chooser as asked: "open", "save" or "directory" (whose title and start path are kept in
    // the request's title and fileName).
    struct Chooser {
        std::string kind;
        FileDialogRequest request;
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
    // The font chooser's next answer; nullopt (or none scripted) cancels it.
    void answerFont(std::optional<FontChoice> font) { fontAnswers_.push_back(std::move(font)); }
    bool scriptUsedUp() const
    {
        return promptAnswers_.empty() && questionAnswers_.empty() && overwriteAnswers_.empty()
            && lineEndingAnswers_.empty() && chooserAnswers_.empty() && fontAnswers_.empty()
            && certificateAnswers_.empty();
    }
    // Prompt `i` as asked: "title / label / text / maxLength", with " / masked" for a password.
    std::string prompt(size_t i) const
    {
        const PromptRequest& p = prompts.at(i);
        return p.title + " / " + p.label + " / " + p.text + " / " + std::to_string(p.maxLength) +
               (p.masked ? " / masked" : "");
    }

    bool InputPrompt(const PromptRequest& request, std::string& answer) override
    {
        prompts.push_back(request);
        return answerFrom(promptAnswers_, "prompt: " + request.title, answer);
    }
    bool AskYesNo(const std::string& caption, const std::string& text) override
    {
        questions.push_back({caption, text});
        return take(questionAnswers_, "question: " + text).value_or(false);
    }
    void ShowMessage(const std::string& caption, const std::string& text) override
    {
        messages.push_back({caption, text});
    }

    // Without an editor the site dialog is cancelled.
    bool EditSite(SiteProperties& model) override
    {
        if (!siteEditor || !siteEditor(model)) {
            model.cancel();
            return false;
        }
        return model.save();
    }
    bool EditAttributes(AttributeForm& form) override
    {
        ++attributeEdits;
        return scripted(attributeEditor, "attribute dialog") && attributeEditor(form);
    }
    // The custom command dialog: what the user does in it, then true for Select; Close without one.
    bool EditCustomCommands(CustomCommandEditor& model) override
    {
        ++commandDialogs;
        return commandEditor && commandEditor(model);
    }
    bool EditMirror(MirrorForm& form) override
    {
        ++mirrorEdits;
        return scripted(mirrorEditor, "mirror dialog") && mirrorEditor(form);
    }
    // The Preferences dialog: what the user does in its form, then true for "OK" (call form.ok()
    // first); "Cancel" without one.
    bool EditOptions(OptionsForm& form) override
    {
        ++optionsDialogs;
        return optionsEditor && optionsEditor(form);
    }
    bool AskFont(FontChoice& font) override
    {
        fontsAsked.push_back(font);
        return answerFrom(fontAnswers_, "", font);
    }

    bool AskOpenFile(const FileDialogRequest& r, std::string& path) override { return chooser({"open", r}, path); }
    bool AskSaveFile(const FileDialogRequest& r, std::string& path) override { return chooser({"save", r}, path); }
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
        const auto next = take(overwriteAnswers_, "overwrite prompt: " + path);
        if (next && next->first == OverwriteChoice::SaveAs)
            path = next->second;
        return next ? next->first : OverwriteChoice::Cancel;
    }
    CertificateAnswer AskCertificate(const CertificateQuestion& question) override
    {
        certificates.push_back(question);
        return take(certificateAnswers_, "certificate question: " + question.host).value_or(CertificateAnswer::Cancel);
    }
    int ChooseLineEnding() override
    {
        ++lineEndingDialogs;
        return take(lineEndingAnswers_, "line-ending dialog").value_or(0);
    }

    // The progress window's calls, one line each: "open" (when it was closed), "start NAME SIZE
    // send|receive", "end", "close"; updates are only counted, and `onUpdate` runs on each.
    struct RecordedProgress : ProgressSink {
        std::vector<std::string> calls;
        int updates = 0;
        bool shown = false;
        std::function<void()> onUpdate;    // a progress report, for a test that acts right then
        std::function<void()> onEndFile;   // a file's end, likewise
        void open() override
        {
            if (!std::exchange(shown, true))
                calls.push_back("open");
        }
        void startFile(const std::string& name, int64_t size, bool sending) override
        {
            calls.push_back("start " + name + " " + std::to_string(size) + (sending ? " send" : " receive"));
        }
        void update(int64_t) override
        {
            ++updates;
            if (onUpdate)
                onUpdate();
        }
        void endFile() override
        {
            calls.push_back("end");
            if (onEndFile)
                onEndFile();
        }
        void close() override
        {
            if (std::exchange(shown, false))
                calls.push_back("close");
        }
    } progress;
    ProgressSink& Progress() override { return progress; }
    void Changed() override { ++changes; }

    // Drive the dialogs' forms: true stands for "Apply" (call form.apply() first), "Execute" or
    // "Select"; false cancels or closes.
    std::function<bool(SiteProperties&)> siteEditor;
    std::function<bool(AttributeForm&)> attributeEditor;
    std::function<bool(CustomCommandEditor&)> commandEditor;
    std::function<bool(MirrorForm&)> mirrorEditor;
    std::function<bool(OptionsForm&)> optionsEditor;

    std::vector<PromptRequest> prompts;
    std::vector<Question> questions;
    std::vector<Question> messages;
    std::vector<std::string> viewedFiles;
    std::vector<OpenedFile> openedFiles;
    std::vector<std::string> overwriteAsked;
    std::vector<CertificateQuestion> certificates;
    std::vector<Chooser> choosers;
    std::vector<FontChoice> fontsAsked;
    int attributeEdits = 0, commandDialogs = 0, mirrorEdits = 0, optionsDialogs = 0;
    int lineEndingDialogs = 0, changes = 0;

private:
    // The next scripted answer; none fails the test unless `unscripted` is empty.
    template <class T>
    static std::optional<T> take(std::deque<T>& answers, const std::string& unscripted)
    {
        if (answers.empty()) {
            if (!unscripted.empty())
                ADD_FAILURE() << "unscripted " << unscripted;
            return std::nullopt;
        }
        T next = std::move(answers.front());
        answers.pop_front();
        return next;
    }
    // The next scripted answer into `out`; false when it (or the script) says Cancel.
    template <class T>
    static bool answerFrom(std::deque<std::optional<T>>& answers, const std::string& unscripted, T& out)
    {
        const auto next = take(answers, unscripted);
        if (next && *next)
            out = **next;
        return next && *next;
    }
    template <class F>
    static bool scripted(const F& editor, const char* what)
    {
        if (!editor)
            ADD_FAILURE() << "unscripted " << what;
        return bool(editor);
    }
    bool chooser(Chooser asked, std::string& path)
    {
        choosers.push_back(std::move(asked));
        return answerFrom(chooserAnswers_, "chooser: " + choosers.back().kind, path);
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
