#include "ui/main_window.h"

#include "listing/panel_sort_key.h"
#include "session/window_title.h"
#include "ui/file_list_model.h"
#include "ui/file_list_view.h"
#include "ui/local_dir_tree.h"
#include "ui/panel_icons.h"
#include "ui/qt_text.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QSignalBlocker>

namespace brisk {

namespace {

QIcon rowIcon(const PanelRowView& row)
{
    if (row.image == kImageDirectory)
        return panelIcon(PanelIcon::Folder);
    if (row.image == kImageUp)
        return panelIcon(PanelIcon::Up);
    return panelIcon(row.link.empty() ? PanelIcon::File : PanelIcon::Link);
}

// Column position to row field: Filename, Size, Date, Time, Attribute, Links.
std::string rowText(const PanelRowView& row, int column)
{
    switch (column) {
    case 0: return std::string(row.caption);
    case 1: return std::string(row.size);
    case 2: return std::string(row.date);
    case 3: return std::string(row.time);
    case 4: return std::string(row.attributes);
    default: return std::string(row.link);
    }
}

// The view reads the panel's rows as it paints them; the panel outlives the view's model. The rows may
// change before the next refresh tells the view, so a row the panel no longer has paints empty.
void showPanel(FileListView* view, const FilePanel& panel, const QStringList& headers)
{
    view->rows()->show(
        headers, panel.size(),
        [&panel](size_t row, int column) {
            return row < panel.size() ? rowText(panel.rows().view(row), column) : std::string();
        },
        [&panel](size_t row) { return row < panel.size() ? rowIcon(panel.rows().view(row)) : QIcon(); });
}

void showSortIndicator(FileListView* view, const FilePanel& panel)
{
    const SortIndicator indicator = SortIndicatorOf(panel.sortState());
    view->header()->setSortIndicatorShown(true);
    view->header()->setSortIndicator(indicator.column, indicator.ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void syncSelection(FileListView* view, const FilePanel& panel)
{
    view->setSelectedRows([&panel](size_t row) { return row < panel.size() && panel.isSelected(row); });
}

void setItems(QComboBox* box, const std::vector<std::string>& items, int selected)
{
    QStringList texts;
    for (const std::string& item : items)
        texts.push_back(toQt(item));
    QStringList shown;
    for (int i = 0; i < box->count(); ++i)
        shown.push_back(box->itemText(i));
    if (shown != texts) {
        box->clear();
        box->addItems(texts);
    }
    box->setCurrentIndex(selected);
}

} // namespace

void T_Main::refreshViews()
{
    refreshPending_ = false;
    if (refreshing_)
        return;
    refreshing_ = true;
    refreshRemote();
    refreshLocal();
    refreshPathBoxes();
    refreshLog();
    refreshActions();
    const SessionController& s = program_->session;
    setWindowTitle(toQt(WindowTitle(s.SiteListMode(), s.CurrentSite().Name, s.remote)));
    const std::string busy = s.listingStatusText();
    busyText->setText(toQt(busy));
    busyText->setVisible(!busy.empty());
    busyBar->setVisible(!busy.empty());
    setCursor(s.busyCursor() || !busy.empty() ? Qt::BusyCursor : Qt::ArrowCursor);
    refreshing_ = false;
}

void T_Main::refreshRemote()
{
    const SessionController& s = program_->session;
    const QSignalBlocker block(FTPView);
    if (s.SiteListMode())
        refreshSiteRows();
    else
        refreshRemoteRows();
    remoteInfo->setVisible(s.remoteInfoBarVisible());
    remoteInfo->setText(toQt(s.remoteStatusText()));
}

void T_Main::refreshSiteRows()
{
    const SessionController& s = program_->session;
    std::vector<std::string> rows;
    for (const SiteEntry& entry : s.sites.siteList.entries())
        rows.push_back(std::to_string(int(entry.kind)) + entry.caption + "\n" + entry.site.Server);
    if (shownSiteList_ && rows == shownSiteRows_)
        return;
    shownSiteList_ = true;
    shownSiteRows_ = rows;
    shownRemoteVersion_ = ~0ull;
    const SiteList& sites = s.sites.siteList;
    keepRemoteColumns();
    FTPView->rows()->setEditable(false);
    FTPView->header()->setSortIndicatorShown(false);
    FTPView->rows()->show(
        siteColumns_, sites.entries().size(),
        [&sites](size_t row, int column) {
            if (row >= sites.entries().size())
                return std::string(); // the list changed since this view was told
            const SiteEntry& entry = sites.entries()[row];
            return column == 0 ? entry.caption : entry.site.Server;
        },
        [&sites](size_t row) {
            if (row >= sites.entries().size())
                return QIcon();
            const SiteEntryKind kind = sites.entries()[row].kind;
            return panelIcon(kind == SiteEntryKind::Up       ? PanelIcon::Up
                             : kind == SiteEntryKind::Folder ? PanelIcon::Folder
                                                             : PanelIcon::Site);
        });
    const int selected = s.sites.siteSelection();
    FTPView->setSelectedRows([selected](size_t row) { return int(row) == selected; });
    FTPView->header()->resizeSection(0, 260);
}

void T_Main::refreshRemoteRows()
{
    const FilePanel& panel = program_->session.remote.panel;
    if (shownSiteList_ || panel.version() != shownRemoteVersion_) {
        const bool newColumns = !showsRemoteColumns();
        shownSiteList_ = false;
        shownSiteRows_.clear();
        shownRemoteVersion_ = panel.version();
        FTPView->rows()->setEditable(true);
        showPanel(FTPView, panel, remoteColumns_);
        showSortIndicator(FTPView, panel);
        if (newColumns)
            restoreRemoteColumns();
    }
    syncSelection(FTPView, panel);
}

void T_Main::refreshLocal()
{
    const LocalPanel& local = program_->local;
    localInfo->setText(toQt(local.selectionStatusText()));
    const QSignalBlocker block(lvLoc);
    if (local.panel().version() != shownLocalVersion_) {
        shownLocalVersion_ = local.panel().version();
        showPanel(lvLoc, local.panel(), localColumns_);
        showSortIndicator(lvLoc, local.panel());
    }
    syncSelection(lvLoc, local.panel());
    if (!dirTree->isHidden())
        dirTree->follow(local.currentDir());
}

void T_Main::refreshPathBoxes()
{
    const SessionController& s = program_->session;
    {
        const QSignalBlocker block(FTPPath);
        if (s.SiteListMode())
            setItems(FTPPath, s.sites.siteList.pathItems().items(), s.sites.siteList.pathItems().selected());
        else
            setItems(FTPPath, s.remote.pathItems(), s.remote.pathSelected());
        FTPPath->setEnabled(s.pathBoxEnabled());
    }
    const QSignalBlocker block(localPath);
    setItems(localPath, program_->local.chooser().items(), program_->local.chooser().selected());
}

void T_Main::refreshLog()
{
    const LogPane& log = program_->session.log;
    if (log.generation() == shownLogGeneration_)
        return;
    shownLogGeneration_ = log.generation();
    QString text;
    for (const std::string& line : log.lines()) {
        text += toQt(line);
        text += '\n';
    }
    logPane->setPlainText(text);
    logPane->verticalScrollBar()->setValue(logPane->verticalScrollBar()->maximum());
}

} // namespace brisk
