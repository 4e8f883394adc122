#pragma once
#include "config/ftp_options.h"
#include "i18n/main_messages.h"

#include <string>
#include <utility>
#include <vector>

class QWidget;

namespace brisk {

// The language settings windows are translated with: the main window's options once it exists,
// the built-in language before.
void SetProgramLanguage(TLang* lang);
TLang& ProgramLanguage();

// A window's message lists by component name ("msl").
using NamedMessageLists = std::vector<std::pair<std::string, MessageList*>>;

// A window as it is created (every window but the About box): the template written when asked
// for, then the chosen language applied. `className` names its section ("T_Mirror").
void ApplyLanguage(QWidget& window, const std::string& className, const NamedMessageLists& lists = {});

// One window from one language file.
void ApplyLanguageFile(QWidget& window, const std::string& className, const std::string& path,
                       const NamedMessageLists& lists = {});

// The Preferences dialog's preview: the window in the language `langFile` (a base name), the chosen
// language left as it is.
void PreviewLanguage(QWidget& window, const std::string& className, const std::string& langFile,
                     const NamedMessageLists& lists = {});

} // namespace brisk
