#pragma once
#include <QIcon>

namespace brisk {

enum class PanelIcon { Up, Folder, File, Site, Link };

// The desktop theme's icon, or the style's own when the theme has none.
QIcon panelIcon(PanelIcon kind);

} // namespace brisk
