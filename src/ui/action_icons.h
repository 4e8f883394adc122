#pragma once
#include <QIcon>
#include <QString>

namespace brisk {

// The desktop theme's icon of this freedesktop name ("network-connect", ...) or, when the theme has
// none (or there is no theme, as on a bare system), the icon the program ships under that name.
// A null icon when neither exists.
QIcon actionIcon(const QString& themeName);

} // namespace brisk
