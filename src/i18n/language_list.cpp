#include "i18n/language_list.h"

#include <algorithm>
#include <dirent.h>

namespace brisk {
namespace {

std::string lowerAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// Calls `visit(fileName, lowerBaseName)` for every "*.lan" entry of `dir`.
template <class Visit> void forEachLanguageFile(const std::string& dir, Visit visit)
{
    DIR* handle = opendir(dir.empty() ? "." : dir.c_str());
    if (!handle)
        return;
    while (const dirent* entry = readdir(handle)) {
        const std::string name = entry->d_name;
        const std::string lower = lowerAscii(name);
        if (lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".lan") == 0)
            visit(name, lower.substr(0, lower.size() - 4));
    }
    closedir(handle);
}

} // namespace

std::vector<std::string> ListLanguages(const std::string& dir)
{
    std::vector<std::string> names;
    forEachLanguageFile(dir, [&](const std::string&, const std::string& base) {
        if (base != kTemplateLanguage)
            names.push_back(base);
    });
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

std::string LanguageFilePath(const std::string& dir, const std::string& baseName)
{
    const std::string wanted = lowerAscii(baseName);
    std::string found;
    forEachLanguageFile(dir, [&](const std::string& file, const std::string& base) {
        // Prefer the exactly lower-cased file when several differ only in case.
        if (base == wanted && (found.empty() || file == wanted + ".lan"))
            found = file;
    });
    return dir + (found.empty() ? wanted + ".lan" : found);
}

} // namespace brisk
