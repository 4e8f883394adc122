#pragma once
#include "i18n/translatable_form.h"

#include <string>

namespace brisk {

// The section of a window in a language file: its class name upper-cased.
std::string LanguageSection(const std::string& className);

// Puts the texts of the window's section (or, without one, its parent class's) into the window.
// Only texts the window has are replaced: a string that is empty in the window stays empty, a line
// or item past the end is not added. A missing file is created empty and changes nothing.
void ApplyLanguageFile(TranslatableForm& form, const std::string& path);

// Writes the window's texts as its section of the file, keeping the other sections. False when the
// file cannot be written.
bool WriteLanguageTemplate(const TranslatableForm& form, const std::string& path);

} // namespace brisk
