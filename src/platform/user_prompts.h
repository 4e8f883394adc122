#pragma once
#include <cstdint>
#include <string>

namespace brisk {

// The one-line prompt: a title, a label, the starting text and a length limit.
struct PromptRequest {
    std::string title;
    std::string label;
    std::string text;
    size_t maxLength = 255;
    bool masked = false;
};

// A file chooser: its title, the file types as "description|patterns|description|patterns..."
// (patterns separated by ";"), the name it starts with, and the suffix given to a name typed
// without one.
struct FileDialogRequest {
    std::string title;
    std::string filter;
    std::string fileName;
    std::string defaultSuffix;
};

// A font as the options keep it: face, size in points and colour (an RGB value or a system colour
// reference such as kWindowTextColor's).
struct FontChoice {
    std::string name;
    int32_t size = 8;
    int32_t color = 0;

    bool operator==(const FontChoice&) const = default;
};

// What any part of the program asks of the user or shows to the user without knowing of sites or
// sessions: prompts, questions, messages, choosers and viewers. The GUI implements it with
// dialogs; tests implement it with scripted answers and a record of what was shown.
class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    // The one-line prompt. True with the edited text in `answer` when confirmed.
    virtual bool InputPrompt(const PromptRequest& request, std::string& answer) = 0;
    // A Yes/No question with a question icon; true only on Yes.
    virtual bool AskYesNo(const std::string& caption, const std::string& text) = 0;
    virtual void ShowMessage(const std::string& caption, const std::string& text) = 0;
    // A failure the user should notice (the GUI adds an error icon); a plain message otherwise.
    virtual void ShowError(const std::string& caption, const std::string& text) { ShowMessage(caption, text); }

    // The font chooser, starting at `font`; true with the choice in `font` when confirmed. Without a
    // chooser to show it is cancelled.
    virtual bool AskFont(FontChoice& font)
    {
        (void)font;
        return false;
    }
    // File and directory choosers: true with the choice in `path` when confirmed. The file
    // choosers start at the request's name, and the open chooser offers existing files only; the
    // directory chooser starts at `path`. Without a chooser to show they are cancelled.
    virtual bool AskOpenFile(const FileDialogRequest& request, std::string& path)
    {
        (void)request, (void)path;
        return false;
    }
    virtual bool AskSaveFile(const FileDialogRequest& request, std::string& path)
    {
        (void)request, (void)path;
        return false;
    }
    virtual bool AskDirectory(const std::string& title, std::string& path)
    {
        (void)title, (void)path;
        return false;
    }

    // Shows a local file in a plain text viewer.
    virtual void ViewTextFile(const std::string& path) = 0;
    // Opens a local file with the desktop's associated program, in `workingDir`.
    virtual void OpenWithAssociatedProgram(const std::string& path, const std::string& workingDir) = 0;

    // The "Carriage Return" dialog: the value of the line ending chosen (1 CR + LF, 2 LF + CR, 3 LF,
    // 4 CR), or 0 for "Do not change" and Cancel. Without a dialog to show nothing changes.
    virtual int ChooseLineEnding() { return 0; }

    // A state the views show has changed; they re-read it from the models.
    virtual void Changed() {}
};

} // namespace brisk
