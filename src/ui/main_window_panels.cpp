#include "ui/main_window.h"

#include "ui/file_list_view.h"
#include "ui/local_dir_tree.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>

namespace brisk {

namespace {

// The generic commands and the panel actions they stand for: local, then remote ("" for none).
struct Route {
    const char* generic;
    const char* local;
    const char* remote;
};

const Route kRoutes[] = {
    {"actMkdir", "actLocalMkdir", "actRemoteMkdir"},
    {"actRename", "actLocalRename", "actRemoteRename"},
    {"actDelete", "actLocalDelete", "actRemoteDelete"},
    {"actRefresh", "actLocalRefresh", "actRemoteRefresh"},
    {"actView", "actViewText", ""},
    {"actSelect1", "actLocalSelect1", "actRemoteSelect1"},
    {"actSelect2", "actLocalSelect2", "actRemoteSelect2"},
    {"actSelect3", "actLocalSelect3", "actRemoteSelect3"},
    {"actSelect4", "actLocalSelect4", "actRemoteSelect4"},
};

} // namespace

void T_Main::buildPanelActions()
{
    struct Generic {
        const char* name;
        const char* text;
        const char* icon;
        QKeySequence key;
    };
    const Generic generics[] = {
        {"actMkdir", "Make directory", "folder-new", {}},
        {"actRename", "Rename", "edit-rename", Qt::Key_F2},
        {"actDelete", "Delete", "edit-delete", Qt::Key_Delete},
        {"actRefresh", "Refresh", "view-refresh", Qt::Key_F5},
        {"actView", "View as Text File", "text-x-generic", Qt::Key_F3},
        {"actSelect1", "Select All", "", QKeySequence::SelectAll},
        {"actSelect2", "Unselect", "", {}},
        {"actSelect3", "Mask", "", {}},
        {"actSelect4", "Invert", "", {}},
    };
    for (const Generic& generic : generics) {
        const QString name = generic.name;
        addAction(name, generic.text, generic.icon, [this, name] {
            if (QAction* target = routed(name); target && target->isEnabled())
                target->trigger();
        }, generic.key);
    }
}

QAction* T_Main::routed(const QString& generic) const
{
    for (const Route& route : kRoutes)
        if (generic == route.generic)
            return action(current_.isLocal() ? route.local : route.remote);
    return nullptr;
}

void T_Main::refreshPanelActions()
{
    for (const Route& route : kRoutes) {
        const QAction* target = routed(route.generic);
        action(route.generic)->setEnabled(target && target->isEnabled());
    }
}

void T_Main::trackFocus()
{
    focusTracking_ = connect(qApp, &QApplication::focusChanged, this,
                             [this](QWidget*, QWidget* now) { focusMoved(now); });
    markCurrentPanel();
}

void T_Main::focusMoved(const QWidget* now)
{
    auto within = [now](const QWidget* part) { return now == part || part->isAncestorOf(now); };
    const bool local = within(lvLoc) || within(localPath) || within(dirTree);
    if (!now || (!local && !within(FTPView) && !within(FTPPath)))
        return;
    const PanelSide side = local ? PanelSide::Local : PanelSide::Remote;
    if (side == current_.side())
        return;
    current_.focused(side);
    markCurrentPanel();
    refreshViews();
}

// The current panel's column header is bold in the palette's highlight colours.
void T_Main::markCurrentPanel()
{
    QFont bold;
    bold.setBold(true);
    QPalette highlighted;
    highlighted.setColor(QPalette::Button, palette().color(QPalette::Highlight));
    highlighted.setColor(QPalette::ButtonText, palette().color(QPalette::HighlightedText));
    for (FileListView* view : {lvLoc, FTPView}) {
        const bool current = (view == lvLoc) == current_.isLocal();
        view->header()->setFont(current ? bold : QFont());
        view->header()->setPalette(current ? highlighted : QPalette());
    }
}

} // namespace brisk
