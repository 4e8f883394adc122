#pragma once
#include "i18n/main_messages.h"
#include "session/user_interface.h"

#include <optional>
#include <string>
#include <vector>

namespace brisk {

// The logic of the overwrite prompt ("Rewrite Files Prompt"): six buttons whose tags are the
// answer. "Save as" asks for a new path with the one-line prompt; cancelling that keeps the
// prompt open, confirming it closes the prompt with the new path.
class OverwritePrompt {
public:
    // `messages`: "File already exists !", "Save as ...", "New Path".
    OverwritePrompt(std::vector<std::string> messages, std::string path);

    static constexpr const char* kCaption = "Rewrite Files Prompt";
    static constexpr const char* kQuestion = "Overwrite the file ?";
    // Button texts by tag.
    static const std::vector<std::string>& ButtonTexts();

    const std::string& notice() const { return messages_[0]; }   // "File already exists !"
    // The prompt's message list, which a language file may translate.
    MessageList& messages() { return messages_; }
    const std::string& path() const { return path_; }
    // The one-line prompt "Save as" shows, pre-filled with the current path.
    PromptRequest saveAsRequest() const;

    // A button was pressed; for "Save as", `newPath` is the prompt's answer (nullopt: cancelled).
    // True when the prompt closes; `choice()` and `path()` then hold the answer.
    bool press(OverwriteChoice button, const std::optional<std::string>& newPath = std::nullopt);
    OverwriteChoice choice() const { return choice_; }

private:
    MessageList messages_;
    std::string path_;
    OverwriteChoice choice_ = OverwriteChoice::Cancel;
};

} // namespace brisk
