#pragma once
#include "platform/certificate_question.h"
#include "platform/progress_sink.h"
#include "platform/user_prompts.h"

#include <string>

namespace brisk {

class AttributeForm;
class CustomCommandEditor;
class OptionsForm;
class SiteProperties;

// The buttons of the overwrite prompt; each value is the button's tag.
enum class OverwriteChoice { Resume = 0, Overwrite = 1, All = 2, Skip = 3, SaveAs = 4, Cancel = 5 };

// Everything a session asks of the user or shows to the user beyond the plain prompts: the site,
// attribute, custom command and options dialogs, the overwrite prompt, the certificate question
// and the transfer figures.
class UserInterface : public UserPrompts {
public:
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

    // The Preferences dialog ("Program Options") on `form`, opened already; true when it ended with
    // "OK" (form.ok() has run). Without a dialog to show it is cancelled.
    virtual bool EditOptions(OptionsForm& form)
    {
        (void)form;
        return false;
    }

    // The overwrite prompt for an existing target. With SaveAs, `path` holds the new target.
    // Without a prompt to show nothing is overwritten.
    virtual OverwriteChoice AskOverwrite(std::string& path)
    {
        (void)path;
        return OverwriteChoice::Cancel;
    }
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
};

} // namespace brisk
