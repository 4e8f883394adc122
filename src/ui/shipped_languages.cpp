#include "ui/shipped_languages.h"

#include "i18n/language_list.h"
#include "platform/text_file.h"
#include "ui/qt_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace brisk {

void InstallShippedLanguages(const std::string& programDir)
{
    const std::vector<std::string> present = ListLanguages(programDir);
    for (const QFileInfo& shipped : QDir(":/lang").entryInfoList(QDir::Files)) {
        const std::string name = fromQt(shipped.completeBaseName().toLower());
        if (std::find(present.begin(), present.end(), name) != present.end())
            continue;
        QFile file(shipped.filePath());
        if (file.open(QIODevice::ReadOnly))
            writePrivateFile(LanguageFilePath(programDir, name), file.readAll().toStdString());
    }
}

} // namespace brisk
