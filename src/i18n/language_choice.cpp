#include "i18n/language_choice.h"

#include "i18n/language_file.h"
#include "i18n/language_list.h"
#include "platform/directories.h"

#include <algorithm>

namespace brisk {

std::string ChosenLanguagePath(const TLang& lang, const std::string& programDir)
{
    return LanguageFilePath(programDir, lang.LangFile);
}

void ApplyLanguage(TranslatableForm& form, const TLang& lang, const std::string& programDir)
{
    if (lang.LangInit && lang.LangFile == kTemplateLanguage)
        WriteLanguageTemplate(form, LanguageFilePath(programDir, kTemplateLanguage));
    if (lang.LangOn)
        ApplyLanguageFile(form, ChosenLanguagePath(lang, programDir));
}

LanguageMenu BuildLanguageMenu(TLang& lang, const std::string& programDir)
{
    LanguageMenu menu;
    menu.names = ListLanguages(programDir);
    const auto found = std::find(menu.names.begin(), menu.names.end(), lang.LangFile);
    if (found == menu.names.end() || lang.LangFile == kTemplateLanguage ||
        !fileExists(ChosenLanguagePath(lang, programDir))) {
        lang.LangFile = kTemplateLanguage;
        lang.LangOn = false;
        return menu;
    }
    menu.checked = static_cast<int>(found - menu.names.begin());
    return menu;
}

void SelectLanguage(TLang& lang, const std::string& caption)
{
    if (caption.empty()) {
        lang.LangOn = false;
        lang.LangFile = kTemplateLanguage;
        return;
    }
    std::string name = caption;
    if (const size_t mark = name.find('&'); mark != std::string::npos)
        name.erase(mark, 1);
    lang.LangFile = name;
    lang.LangOn = true;
    lang.LangInit = false;
}

void RetranslateMainWindow(TranslatableForm& form, const FormTexts& builtIn, const TLang& lang,
                           const std::string& programDir, bool force)
{
    if (!lang.LangOn && !force)
        return;
    RestoreFormTexts(form, builtIn);
    ApplyLanguageFile(form, ChosenLanguagePath(lang, programDir));
}

} // namespace brisk
