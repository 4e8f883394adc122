#include "ui/window_language.h"

#include "i18n/language_choice.h"
#include "i18n/language_file.h"
#include "i18n/language_list.h"
#include "platform/program_dir.h"
#include "ui/qt_translatable_form.h"

#include <QWidget>

namespace brisk {
namespace {

TLang* g_language = nullptr;

QtTranslatableForm formOf(QWidget& window, const std::string& className, const NamedMessageLists& lists)
{
    QtTranslatableForm form(window, className);
    for (const auto& [name, list] : lists)
        form.addMessageList(name, *list);
    return form;
}

} // namespace

void SetProgramLanguage(TLang* lang)
{
    g_language = lang;
}

TLang& ProgramLanguage()
{
    static TLang builtIn;
    return g_language ? *g_language : builtIn;
}

void ApplyLanguage(QWidget& window, const std::string& className, const NamedMessageLists& lists)
{
    QtTranslatableForm form = formOf(window, className, lists);
    ApplyLanguage(form, ProgramLanguage(), ProgramDir());
    window.update();
}

void ApplyLanguageFile(QWidget& window, const std::string& className, const std::string& path,
                       const NamedMessageLists& lists)
{
    QtTranslatableForm form = formOf(window, className, lists);
    ApplyLanguageFile(form, path);
    window.update();
}

void PreviewLanguage(QWidget& window, const std::string& className, const std::string& langFile,
                     const NamedMessageLists& lists)
{
    ApplyLanguageFile(window, className, LanguageFilePath(ProgramDir(), langFile), lists);
}

} // namespace brisk
