#pragma once
#include <string>
#include <vector>

namespace brisk {

// The base name of the template file, which holds the built-in English texts.
inline constexpr const char* kTemplateLanguage = "language";

// The languages offered: the lower-cased base names of the "*.lan" files in `dir` (extension
// matched in any case), without the template file, sorted and without duplicates.
std::vector<std::string> ListLanguages(const std::string& dir);

// The file of the language `baseName` in `dir`. Names are listed lower-cased, so an existing
// file whose name differs only in case (Deutsch.lan for "deutsch") is found; otherwise the
// lower-case name with ".lan".
std::string LanguageFilePath(const std::string& dir, const std::string& baseName);

} // namespace brisk
