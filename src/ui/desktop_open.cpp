#include "ui/desktop_open.h"

#include "ui/qt_text.h"

#include <QDesktopServices>
#include <QUrl>

namespace brisk {

bool OpenWithDesktop(const std::string& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(toQt(path)));
}

} // namespace brisk
