#include "ui/panel_icons.h"

#include <QApplication>
#include <QStyle>

namespace brisk {

namespace {

QIcon themed(const char* name, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(QString::fromLatin1(name), QApplication::style()->standardIcon(fallback));
}

} // namespace

QIcon panelIcon(PanelIcon kind)
{
    switch (kind) {
    case PanelIcon::Up:
        return themed("go-up", QStyle::SP_FileDialogToParent);
    case PanelIcon::Folder:
        return themed("folder", QStyle::SP_DirIcon);
    case PanelIcon::Site:
        return themed("network-server", QStyle::SP_DriveNetIcon);
    case PanelIcon::Link:
        return themed("emblem-symbolic-link", QStyle::SP_FileLinkIcon);
    case PanelIcon::File:
        break;
    }
    return themed("text-x-generic", QStyle::SP_FileIcon);
}

} // namespace brisk
