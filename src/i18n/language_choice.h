#pragma once
#include "config/ftp_options.h"
#include "i18n/form_texts.h"
#include "i18n/translatable_form.h"

#include <string>
#include <vector>

namespace brisk {

// The file of the chosen language in the program directory.
std::string ChosenLanguagePath(const TLang& lang, const std::string& programDir);

// A window as it is created: with "recreate the template" on and the built-in language chosen its
// texts go into the template file; then, with a language chosen, that language's texts replace them.
void ApplyLanguage(TranslatableForm& form, const TLang& lang, const std::string& programDir);

// The "Language" menu after "Default (English)" and its separator.
struct LanguageMenu {
    std::vector<std::string> names;
    int checked = -1;  // the entry checked; -1 is "Default (English)"
};

// The menu at start-up. A chosen language that is not offered falls back to the built-in one.
LanguageMenu BuildLanguageMenu(TLang& lang, const std::string& programDir);

// A click on a language entry (its caption, an accelerator "&" allowed) or, with an empty caption,
// on "Default (English)".
void SelectLanguage(TLang& lang, const std::string& caption);

// Puts the chosen language into the main window, from the built-in texts up: a language that lacks
// some texts, or a missing template, leaves English there rather than the previous language's.
// Does nothing unless a language is on or `force` is set.
void RetranslateMainWindow(TranslatableForm& form, const FormTexts& builtIn, const TLang& lang,
                           const std::string& programDir, bool force);

} // namespace brisk
