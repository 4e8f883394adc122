#pragma once
#include "platform/certificate_question.h"
#include "platform/progress_sink.h"

#include <cstdint>
#include <string>

namespace brisk {

class AttributeForm;
class CustomCommandEditor;
class MirrorForm;
class OptionsForm;
class SiteProperties;

// The buttons of the overwrite prompt; each value is the button's tag.
enum class OverwriteChoice { Resume = 0, Overwrite = 1, All = 2, Skip = 3, SaveAs = 4, Cancel = 5 };

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

// Everything the program's logic asks of the user or shows to the user. The GUI implements it
// with dialogs; tests implement it with scripted answers and a record of what was shown.
class UserInterface {
public:
    virtual ~UserInterface() = default;

    // The one-line prompt. True with the edited text in `answer` when confirmed.
    virtual bool InputPrompt(const PromptRequest& request, std::string& answer) = 0;
    // A Yes/No question with a question icon; true only on Yes.
    virtual bool AskYesNo(const std::string& caption, const std::string& text) = 0;
    virtual void ShowMessage(const std::string& caption, const std::string& text) = 0;
    // A failure the user should notice (the GUI adds an error icon); a plain message otherwise.
    virtual void ShowError(const std::string& caption, const std::string& text) { ShowMessage(caption, text); }
    // The site properties dialog on `model`; true when it was saved (model.save() succeeded).
    virtual bool EditSite(SiteProperties& model) = 0;
    // The attribute dialog on `form`; true when the user chose "Apply" (form.apply() has run).
    // Without a dialog to show nothing changes.
    virtual bool EditAttributes(AttributeForm& form)
    {
        (void)form;
        return false;
    }

    // The custom command dialog ("Commands") on `model`; true when it ended with Select. Without
    // a dialog to show it ends with Close at once.
    virtual bool EditCustomCommands(CustomCommandEditor& model)
    {
        (void)model;
        return false;
    }

    // The mirror dialog ("Compare folders") on `form`; true when the user left it with "Execute".
    // Without a dialog to show it is closed.
    virtual bool EditMirror(MirrorForm& form)
    {
        (void)form;
        return false;
    }
    // The Preferences dialog ("Program Options") on `form`, opened already; true when it ended with
    // "OK" (form.ok() has run). Without a dialog to show it is cancelled.
    virtual bool EditOptions(OptionsForm& form)
    {
        (void)form;
        return false;
    }
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

    // The overwrite prompt for an existing target. With SaveAs, `path` holds the new target.
    // Without a prompt to show nothing is overwritten.
    virtual OverwriteChoice AskOverwrite(std::string& path)
    {
        (void)path;
        return OverwriteChoice::Cancel;
    }
    // The "Carriage Return" dialog: the value of the line ending chosen (1 CR + LF, 2 LF + CR, 3 LF,
    // 4 CR), or 0 for "Do not change" and Cancel. Without a dialog to show nothing changes.
    virtual int ChooseLineEnding() { return 0; }
    // A server certificate nothing vouches for: trust it once, always, or cancel the connection.
    // Without a question to show the connection is cancelled.
    virtual CertificateAnswer AskCertificate(const CertificateQuestion& question)
    {
        (void)question;
        return CertificateAnswer::Cancel;
    }
    // The transfer figures; by default they are not shown.
    virtual ProgressSink& Progress()
    {
        static ProgressSink none;
        return none;
    }

    // A state the views show has changed; they re-read it from the models.
    virtual void Changed() {}
};

} // namespace brisk
