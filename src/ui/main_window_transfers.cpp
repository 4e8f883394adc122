#include "ui/main_window.h"

#include "ui/file_list_model.h"
#include "ui/file_list_view.h"

#include <QTimer>

namespace brisk {

namespace {

// The row of `panel` a dragged row stands for: the same row when it still has the caption the
// drag carried, else the row with that caption; -1 when the panel no longer has it. The ".." row
// is never transferred.
int currentRow(const FilePanel& panel, int row, const std::string& caption)
{
    auto usable = [&panel](size_t index) { return panel.rows().view(index).image != kImageUp; };
    if (row >= 0 && size_t(row) < panel.size() && panel.rows().view(size_t(row)).caption == caption)
        return usable(size_t(row)) ? row : -1;
    for (size_t i = 0; i < panel.size(); ++i)
        if (panel.rows().view(i).caption == caption)
            return usable(i) ? int(i) : -1;
    return -1;
}

} // namespace

void T_Main::connectTransfers()
{
    SessionController& s = program_->session;
    ui_.setCancelHandler([&s] { s.postStop(); });
    lvLoc->acceptsRowsFrom = [this](quint64 source) { return transferDropAllowed(source, FTPView); };
    lvLoc->onRowsDropped = [this](const DraggedRows& rows) { remoteRowsDropped(rows); };
    // The remote panel's own rows move a site into a folder, in the site list only.
    FTPView->acceptsRowsFrom = [this](quint64 source) {
        return source == FTPView->rows()->id() ? program_->session.SiteListMode() : transferDropAllowed(source, lvLoc);
    };
    FTPView->onRowsDropped = [this](const DraggedRows& rows) { localRowsDropped(rows); };
}

// Rows of the other panel, while a session is open and nothing else runs.
bool T_Main::transferDropAllowed(quint64 source, const FileListView* from) const
{
    const SessionController& s = program_->session;
    return source == from->rows()->id() && !s.SiteListMode() && s.canTransfer();
}

void T_Main::uploadSelected()
{
    const FilePanel& panel = program_->local.panel();
    std::vector<std::string> names;
    for (size_t index : panel.selectedIndices())
        if (panel.rows().view(index).image != kImageUp)
            names.emplace_back(panel.rows().view(index).caption);
    program_->session.StartUpload(names);
}

void T_Main::downloadSelected()
{
    program_->session.StartDownload();
}

// Local rows dropped on the remote panel: an upload of them. The transfer starts once the drop
// has returned, so its questions never run inside the drag.
void T_Main::localRowsDropped(const DraggedRows& rows)
{
    if (!transferDropAllowed(rows.source, lvLoc))
        return;
    const FilePanel& panel = program_->local.panel();
    std::vector<std::string> names;
    for (size_t i = 0; i < rows.rows.size(); ++i)
        if (currentRow(panel, rows.rows[i], rows.captions[i]) >= 0)
            names.push_back(rows.captions[i]);
    if (names.empty())
        return;
    QTimer::singleShot(0, this, [this, names] {
        program_->session.StartUpload(names);
        refreshViews();
    });
}

// Remote rows dropped on the local panel: a download of them. The download takes the remote
// panel's selection, so the dragged rows become the selection first.
void T_Main::remoteRowsDropped(const DraggedRows& rows)
{
    if (!transferDropAllowed(rows.source, FTPView))
        return;
    SessionController& s = program_->session;
    const FilePanel& panel = s.remote.panel;
    std::vector<bool> wanted(panel.size(), false);
    bool any = false;
    for (size_t i = 0; i < rows.rows.size(); ++i) {
        const int row = currentRow(panel, rows.rows[i], rows.captions[i]);
        if (row >= 0)
            wanted[size_t(row)] = any = true;
    }
    if (!any)
        return;
    for (size_t i = 0; i < wanted.size(); ++i)
        if (panel.isSelected(i) != wanted[i])
            s.setRemoteSelected(i, wanted[i]);
    refreshViews();
    QTimer::singleShot(0, this, [this] {
        program_->session.StartDownload();
        refreshViews();
    });
}

} // namespace brisk
