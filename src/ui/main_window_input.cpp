#include "ui/main_window.h"

#include "ui/file_list_model.h"
#include "ui/file_list_view.h"
#include "ui/qt_text.h"

#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTimer>

namespace brisk {

namespace {

// Column position to sort tag: Filename 1, Size 2, Date 3, Time 4, Attribute 5, Links 0.
int columnTag(int column)
{
    return column == 5 ? 0 : column + 1;
}

} // namespace

void T_Main::connectViews()
{
    SessionController& s = program_->session;
    LocalPanel& local = program_->local;
    auto refreshed = [this](const std::function<void()>& run) {
        return [this, run] {
            run();
            refreshViews();
        };
    };

    connect(FTPView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { remoteSelectionChanged(); });
    connect(FTPView, &QAbstractItemView::activated, this,
            [this](const QModelIndex& index) { remoteActivated(index.row()); });
    connect(FTPView->header(), &QHeaderView::sectionClicked, this,
            [this, &s, refreshed](int column) { refreshed([&s, column] { s.remoteColumnClick(columnTag(column)); })(); });
    connect(FTPPath, &QComboBox::activated, this,
            [this, &s, refreshed](int index) { refreshed([&s, index] { s.FTPPathChange(index); })(); });
    // The editor is still closing when its text arrives; the rename runs once it is gone.
    FTPView->rows()->onEdited = [this](size_t row, const std::string& name) {
        QTimer::singleShot(0, this, [this, row, name] { remoteEdited(row, name); });
    };
    FTPView->onKey = [this](int key) { return remoteKey(key); };
    FTPView->onRowDropped = [this, &s](int source, int target) {
        s.sites.MoveSiteIntoFolder(size_t(source), size_t(target));
        refreshViews();
    };

    connect(lvLoc->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { localSelectionChanged(); });
    connect(lvLoc, &QAbstractItemView::activated, this, [this, &local, refreshed](const QModelIndex& index) {
        const int row = index.row();
        refreshed([&local, row] { local.openRow(size_t(row)); })();
    });
    connect(lvLoc->header(), &QHeaderView::sectionClicked, this, [this, &local, refreshed](int column) {
        refreshed([&local, column] { local.panel().clickColumn(column + 1); })();
    });
    connect(localPath, &QComboBox::activated, this, [this, &local, refreshed](int index) {
        refreshed([&local, index] { local.openChooserItem(index); })();
    });
    lvLoc->onKey = [this](int key) { return localKey(key); };
}

void T_Main::remoteSelectionChanged()
{
    if (refreshing_)
        return;
    SessionController& s = program_->session;
    const std::vector<int> rows = FTPView->selectedRows();
    if (s.SiteListMode()) {
        s.sites.selectSite(rows.empty() ? -1 : rows.front());
    } else {
        std::vector<bool> wanted(s.remote.panel.size(), false);
        for (int row : rows)
            if (row >= 0 && size_t(row) < wanted.size())
                wanted[size_t(row)] = true;
        for (size_t i = 0; i < wanted.size(); ++i)
            if (s.remote.panel.isSelected(i) != wanted[i])
                s.setRemoteSelected(i, wanted[i]);
    }
    refreshViews();
}

void T_Main::localSelectionChanged()
{
    if (refreshing_)
        return;
    FilePanel& panel = program_->local.panel();
    std::vector<bool> wanted(panel.size(), false);
    for (int row : lvLoc->selectedRows())
        if (row >= 0 && size_t(row) < wanted.size())
            wanted[size_t(row)] = true;
    for (size_t i = 0; i < wanted.size(); ++i)
        if (panel.isSelected(i) != wanted[i])
            panel.setSelected(i, wanted[i]);
    refreshViews();
}

void T_Main::remoteEdited(size_t row, const std::string& name)
{
    SessionController& s = program_->session;
    if (s.SiteListMode() || row >= s.remote.panel.size())
        return;
    if (name != s.remote.panel.rows()[row].caption)
        s.RenameInPlace(row, name);
    refreshViews();
}

void T_Main::remoteActivated(int row)
{
    SessionController& s = program_->session;
    if (s.SiteListMode())
        s.sites.selectSite(row);
    s.OpenSelectedSite();
    refreshViews();
}

bool T_Main::remoteKey(int key)
{
    if (key != Qt::Key_Backspace)
        return false;
    remoteUp();
    refreshViews();
    return true;
}

bool T_Main::localKey(int key)
{
    if (key != Qt::Key_Backspace)
        return false;
    program_->local.upOneLevel();
    refreshViews();
    return true;
}

void T_Main::remoteRename()
{
    SessionController& s = program_->session;
    if (s.SiteListMode())
        s.sites.RenameSiteFolder();
    else
        s.RenameRemote();
}

void T_Main::remoteDelete()
{
    SessionController& s = program_->session;
    if (!s.SiteListMode())
        return s.DeleteRemote();
    std::vector<size_t> rows;
    for (int row : FTPView->selectedRows())
        rows.push_back(size_t(row));
    s.sites.DeleteSiteEntries(rows);
}

void T_Main::remoteUp()
{
    SessionController& s = program_->session;
    if (s.SiteListMode())
        s.sites.SiteListUp();
    else
        s.FTPOneLevelUpClick();
}

void T_Main::remoteRefresh()
{
    program_->session.Refresh3Click();
}

} // namespace brisk
