#include "ui/action_icons.h"

#include <QFile>

namespace brisk {

QIcon actionIcon(const QString& themeName)
{
    const QString shipped = ":/icons/" + themeName + ".svg";
    return QIcon::fromTheme(themeName, QFile::exists(shipped) ? QIcon(shipped) : QIcon());
}

} // namespace brisk
