#include "ui/main_window.h"

#include "listing/selection_commands.h"
#include "ui/action_icons.h"
#include "ui/file_list_view.h"
#include "ui/qt_text.h"
#include "ui/quick_connect_bar.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace brisk {

namespace {

// Paths go to the clipboard a line each, and to the selection buffer for a middle click.
void copyToClipboard(const std::vector<std::string>& paths)
{
    if (paths.empty())
        return;
    QString text;
    for (const std::string& path : paths)
        text += (text.isEmpty() ? "" : "\n") + toQt(path);
    QGuiApplication::clipboard()->setText(text);
    if (QGuiApplication::clipboard()->supportsSelection())
        QGuiApplication::clipboard()->setText(text, QClipboard::Selection);
}

} // namespace

QAction* T_Main::addAction(const QString& name, const QString& text, const QString& icon,
                           const std::function<void()>& run, const QKeySequence& key)
{
    auto* act = new QAction(text, this);
    act->setObjectName(name);
    if (!icon.isEmpty())
        act->setIcon(actionIcon(icon));
    if (!key.isEmpty())
        act->setShortcut(key);
    connect(act, &QAction::triggered, this, [this, run] {
        run();
        refreshViews();
    });
    actions_[name] = act;
    return act;
}

QAction* T_Main::action(const QString& name) const
{
    const auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

void T_Main::buildActions()
{
    MainProgram& p = *program_;
    SessionController& s = p.session;
    LocalPanel& local = p.local;
    addAction("actConnect", "Connect to FTP - Server", "network-connect", [&s] { s.Connect(); });
    addAction("actDisconnect", "Disconnect", "network-disconnect", [&s] { s.Disconnect(); });
    addAction("actStop", "Stop Transfer", "process-stop", [&s] { s.StopTransfer(); }, Qt::Key_Escape);
    addAction("actNewSite", "New Server", "document-new", [&s] { s.sites.NewSite(); });
    addAction("actProperties", "Server Properties", "document-properties", [&s] { s.sites.EditSiteProperties(); });
    addAction("actNewSession", "Create new session", "window-new", [&p] { p.SpawnSession(); });
    QAction* bar = addAction("actQuickConnectBar", "Quick Connect Bar", "", [this] {
        quickConnectBar->setVisible(action("actQuickConnectBar")->isChecked());
    });
    bar->setCheckable(true);
    bar->setChecked(true);
    // The options apply at once; the main window's font is one of them.
    addAction("actPreferences", "Preferences", "preferences-system", [this, &p] {
        p.ShowPreferences();
        applyFonts();
    });
    addAction("actExit", "Exit", "application-exit", [this] { close(); });

    addAction("actRemoteMkdir", "Make directory", "folder-new", [&s] { s.MakeRemoteDir(); });
    addAction("actRemoteRename", "Rename", "edit-rename", [this] { remoteRename(); });
    addAction("actRemoteDelete", "Delete Server/Dir/File", "edit-delete", [this] { remoteDelete(); });
    addAction("actChangeDir", "Change Directory", "folder-open", [&s] { s.ChandDirect1Click(); });
    addAction("actRemoteRefresh", "Refresh", "view-refresh", [this] { remoteRefresh(); });
    addAction("actRemoteUp", "Up One Level", "go-up", [this] { remoteUp(); });
    addAction("actRemoteFilter", "Filter", "view-filter", [&s] { s.remoteFilter(); });
    addAction("actFileAttributes", "File Attributes", "", [&s] { s.ChangeAttributes(); });
    // The panel's menu gives the direction: the local panel's mirrors the local side, the remote's
    // the remote side.
    addAction("actLocalSyncDir", "Synchronize Directories", "", [this] { mirroring_->miSyncDir1Click(0); });
    addAction("actRemoteSyncDir", "Synchronize Directories", "", [this] { mirroring_->miSyncDir1Click(1); });
    for (int tag : {1, 2, 3, 4}) {
        static const char* const names[] = {"", "Select All", "Unselect", "Mask", "Invert"};
        addAction(QString("actRemoteSelect%1").arg(tag), names[tag], "", [&s, tag] { s.remoteSelectionCommand(-tag); });
        addAction(QString("actLocalSelect%1").arg(tag), names[tag], "", [this, &p, tag] {
            RunSelectionCommand(tag, p.local.panel(), ui_, p.session.msl, msgLocal, p.local.selectionMask());
        });
    }
    for (int mode : {0, 1, 2}) {
        static const char* const names[] = {"UPPER CASE", "lower case", "As sentence"};
        addAction(QString("actRemoteCase%1").arg(mode), names[mode], "", [&s, mode] { s.ChangeCaseRemote(mode); });
        addAction(QString("actLocalCase%1").arg(mode), names[mode], "", [&local, mode] { local.changeCase(mode); });
    }
    for (int tag : {1, 2, 3}) {
        static const char* const names[] = {"", "By name", "By size", "By date"};
        addAction(QString("actRemoteSort%1").arg(tag), names[tag], "", [&s, tag] { s.remoteColumnClick(tag); });
        addAction(QString("actLocalSort%1").arg(tag), names[tag], "", [&local, tag] { local.panel().clickColumn(tag); });
    }

    addAction("actLocalMkdir", "Make directory", "folder-new", [&local] { local.makeDirectory(); });
    addAction("actLocalRename", "Rename", "edit-rename", [&local] { local.renameSelected(); });
    addAction("actLocalDelete", "Delete", "edit-delete", [&local] { local.deleteSelected(); });
    addAction("actLocalRefresh", "Refresh", "view-refresh", [&local] { local.RefreshLocalPanel(); });
    addAction("actLocalUp", "Up One Level", "go-up", [&local] { local.upOneLevel(); });
    addAction("actLocalFilter", "Filter", "view-filter", [&local] { local.filter(); });
    addAction("actViewText", "View as Text File", "text-x-generic", [&local] { local.viewAsText(); });
    addAction("actRunApp", "Run Application", "system-run", [&local] { local.runApplication(); });
    addAction("actCarriageReturn", "Carriage Return", "", [&p] { p.lineEndings.ConvertLineEndings(); });
    addAction("actCompareDirs", "Compare Directories", "", [&p] { p.CompareDirectories(); });
    // The arrows point the way the files go: local (left) to remote (right) and back.
    QAction* upload = addAction("actUpload", "Upload", "go-next", [this] { uploadSelected(); });
    upload->setToolTip("Upload the selected local files and directories");
    QAction* download = addAction("actDownload", "Download", "go-previous", [this] { downloadSelected(); });
    download->setToolTip("Download the selected remote files and directories");
    auto* types = new QActionGroup(this);
    types->setExclusive(true);
    for (int tag : {0, 1, 2}) {
        static const char* const names[] = {"Auto", "ASCII", "Binary"};
        QAction* type = addAction(QString("actTransferType%1").arg(tag), names[tag], "",
                                  [&s, tag] { s.SetTransferTypeMenu(tag); });
        type->setCheckable(true);
        types->addAction(type);
    }

    addAction("actLocalCopyPath", "Copy Path", "edit-copy", [&local] { copyToClipboard(local.selectedPaths()); });
    addAction("actRemoteCopyPath", "Copy Path", "edit-copy", [&s] { copyToClipboard(s.selectedRemotePaths()); });
    addAction("actLocalProperties", "Properties", "document-properties", [&local] { local.showProperties(); });
    addAction("actRemoteProperties", "Properties", "document-properties", [&s] { s.ShowRemoteProperties(); });

    addAction("actLocalFont", "Font ...", "preferences-desktop-font", [this] { chooseListFont(0); });
    addAction("actRemoteFont", "Font ...", "preferences-desktop-font", [this] { chooseListFont(1); });
}

void T_Main::buildMenus()
{
    auto add = [this](QMenu* menu, std::initializer_list<const char*> names) {
        for (const char* name : names)
            if (name[0])
                menu->addAction(action(name));
            else
                menu->addSeparator();
    };
    add(menuBar()->addMenu("&File"), {"actNewSession", "", "actPreferences", "", "actExit"});
    add(menuBar()->addMenu("&Server"),
        {"actConnect", "actDisconnect", "actStop", "", "actNewSite", "actProperties", "", "actQuickConnectBar"});

    QMenu* transfer = menuBar()->addMenu("&Transfer");
    transfer->setObjectName("mnTransfer");
    add(transfer, {"actUpload", "actDownload", "actStop"});
    transfer->addSeparator();
    QMenu* types = transfer->addMenu("Transfer Type");
    types->setObjectName("mnTransferType");
    add(types, {"actTransferType0", "actTransferType1", "actTransferType2"});

    // The commands of the panel that has the focus.
    QMenu* commands = menuBar()->addMenu("&Commands");
    add(commands, {"actMkdir", "actRename", "actDelete", "", "actRefresh", "actView"});
    add(commands->addMenu("Select ..."), {"actSelect1", "actSelect2", "actSelect3", "actSelect4"});

    QMenu* remote = menuBar()->addMenu("&Remote");
    add(remote, {"actDownload", "", "actRemoteMkdir", "actRemoteRename", "actRemoteDelete", "actFileAttributes", "",
                 "actChangeDir", "actRemoteUp", "actRemoteRefresh", "actRemoteFilter", "", "actCompareDirs",
                 "actRemoteSyncDir"});
    add(remote->addMenu("Select ..."), {"actRemoteSelect1", "actRemoteSelect2", "actRemoteSelect3", "actRemoteSelect4"});
    add(remote->addMenu("Change Case"), {"actRemoteCase0", "actRemoteCase1", "actRemoteCase2"});
    add(remote->addMenu("Sorting"), {"actRemoteSort1", "actRemoteSort2", "actRemoteSort3"});
    add(remote, {"", "actCustomCommand", "actRemoteFont"});

    QMenu* local = menuBar()->addMenu("&Local");
    add(local, {"actUpload", "", "actLocalMkdir", "actLocalRename", "actLocalDelete", "", "actLocalUp",
                "actLocalRefresh", "actLocalFilter", "", "actViewText", "actRunApp", "actCarriageReturn", "",
                "actCompareDirs", "actLocalSyncDir"});
    add(local->addMenu("Select ..."), {"actLocalSelect1", "actLocalSelect2", "actLocalSelect3", "actLocalSelect4"});
    add(local->addMenu("Change Case"), {"actLocalCase0", "actLocalCase1", "actLocalCase2"});
    add(local->addMenu("Sorting"), {"actLocalSort1", "actLocalSort2", "actLocalSort3"});
    add(local, {"", "actLocalFont"});
}

void T_Main::buildToolBar()
{
    QToolBar* bar = addToolBar("Main");
    bar->setObjectName("mainToolBar");
    // Labels where the desktop prefers them. A desktop that states no preference gets icons alone
    // from Qt, and not every command here is known by its icon, so that case gets labels too.
    const auto preferred = Qt::ToolButtonStyle(style()->styleHint(QStyle::SH_ToolButtonStyle));
    bar->setToolButtonStyle(preferred == Qt::ToolButtonIconOnly ? Qt::ToolButtonTextUnderIcon
                                                                : Qt::ToolButtonFollowStyle);
    for (const char* name : {"actConnect", "actDisconnect", "actStop", "", "actUpload", "actDownload", "",
                             "actNewSite", "actProperties", "",
                             "actMkdir", "actRename", "actDelete", "actRefresh", "", "actExit"})
        if (name[0])
            bar->addAction(action(name));
        else
            bar->addSeparator();
    // The two arrows alone: the bar keeps room for the other commands; the texts are in the menus
    // and the tool tips.
    for (const char* name : {"actUpload", "actDownload"})
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action(name))))
            button->setToolButtonStyle(Qt::ToolButtonIconOnly);
}

// The panels' own menus: the transfer toward the other panel first, then what acts on the rows
// clicked, then on the panel. The right-hand panel has one for the site list and one for a session.
void T_Main::buildContextMenus()
{
    auto build = [this](const char* name, std::initializer_list<const char*> names) {
        auto* menu = new QMenu(this);
        menu->setObjectName(name);
        for (const char* action : names)
            if (action[0])
                menu->addAction(this->action(action));
            else
                menu->addSeparator();
        return menu;
    };
    QMenu* local = build("pmLocal", {"actUpload", "", "actLocalMkdir", "actLocalRename", "actLocalDelete", "",
                                     "actLocalCopyPath", "actLocalProperties", "", "actLocalUp", "actLocalRefresh",
                                     "actLocalFilter", "", "actViewText", "actRunApp", "actCarriageReturn", "",
                                     "actCompareDirs", "actLocalSyncDir"});
    QMenu* remote = build("pmRemote", {"actDownload", "", "actRemoteMkdir", "actRemoteRename", "actRemoteDelete",
                                       "actFileAttributes", "",
                                       "actRemoteCopyPath", "actRemoteProperties", "", "actChangeDir", "actRemoteUp",
                                       "actRemoteRefresh", "actRemoteFilter", "actCompareDirs", "actRemoteSyncDir",
                                       "actCustomCommand", "",
                                       "actStop"});
    QMenu* types = remote->addMenu("Transfer Type");
    types->setObjectName("mnRemoteTransferType");
    for (const char* name : {"actTransferType0", "actTransferType1", "actTransferType2"})
        types->addAction(action(name));
    QMenu* sites = build("pmSites", {"actConnect", "", "actNewSite", "actProperties", "", "actRemoteMkdir",
                                     "actRemoteRename", "actRemoteDelete", "", "actRemoteCopyPath", "actRemoteRefresh"});
    const auto popUp = [this](FileListView* view, const std::function<QMenu*()>& menu) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this, [this, view, menu](const QPoint& at) {
            refreshViews();   // the click may have changed the selection the entries depend on
            menu()->popup(view->viewport()->mapToGlobal(at));
        });
    };
    popUp(lvLoc, [local] { return local; });
    popUp(FTPView, [this, remote, sites] { return program_->session.SiteListMode() ? sites : remote; });
}

void T_Main::refreshActions()
{
    const SessionController& s = program_->session;
    const LocalPanel& local = program_->local;
    const bool sites = s.SiteListMode();
    auto enable = [this](const char* name, bool on) { action(name)->setEnabled(on); };
    enable("actConnect", s.enabled(Action::Connect));
    enable("actDisconnect", s.enabled(Action::Disconnect));
    enable("actStop", program_->canStop());
    enable("actNewSite", s.enabled(Action::NewServer));
    enable("actProperties", s.enabled(Action::Properties));
    enable("actPreferences", s.enabled(Action::Preferences));
    enable("actRemoteMkdir", s.enabled(Action::RemoteMakeDirButton));
    enable("actRemoteDelete", s.enabled(Action::RemoteDeleteButton));
    enable("actRemoteRename", sites || s.enabled(Action::RemoteRenameButton));
    enable("actChangeDir", s.enabled(Action::ChangeDirectory));
    enable("actRemoteFilter", s.enabled(Action::Filter));
    enable("actFileAttributes", s.canChangeAttributes());
    enable("actLocalSyncDir", mirroring_->canSynchronize());
    enable("actRemoteSyncDir", mirroring_->canSynchronize());
    for (const char* name : {"actRemoteSelect1", "actRemoteSelect2", "actRemoteSelect3", "actRemoteSelect4"})
        enable(name, s.enabled(Action::Select));
    for (const char* name : {"actRemoteCase0", "actRemoteCase1", "actRemoteCase2"})
        enable(name, s.enabled(Action::ChangeCase));
    for (const char* name : {"actRemoteSort1", "actRemoteSort2", "actRemoteSort3"})
        enable(name, s.enabled(Action::Sorting));
    enable("actViewText", local.selectedRowIsFile());
    enable("actRunApp", local.selectedRowIsFile());
    enable("actCarriageReturn", HasSelectedFile(local));
    enable("actCompareDirs", s.enabled(Action::CompareDirectories));
    enable("actLocalRename", local.hasSelectedRow());
    enable("actLocalDelete", local.canDeleteFromButton());
    enable("actLocalCopyPath", local.hasSelectedRow());
    enable("actLocalProperties", local.hasSelectedRow());
    enable("actRemoteCopyPath", sites ? s.sites.selectedSite() != nullptr : s.remote.panel.selectedIndex() >= 0);
    enable("actRemoteProperties", !sites && s.remote.panel.selectedIndex() >= 0);
    const bool transfer = s.canTransfer();
    enable("actUpload", transfer && s.enabled(Action::UploadArrow));
    enable("actDownload", transfer && s.enabled(Action::DownloadArrow));
    for (int tag : {0, 1, 2})
        action(QString("actTransferType%1").arg(tag))->setChecked(s.transferTypeMenu() == tag);
    quickConnectBar->refresh(sites && s.canOpenSite(), program_->quickConnect.knownSite().has_value());
    refreshRawCommandBar();
    refreshPanelActions();
}

} // namespace brisk
