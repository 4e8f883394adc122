#include "session/session_controller.h"

#include "i18n/delete_question.h"
#include "listing/file_panel.h"
#include "listing/selection_commands.h"
#include "session/remote_paths.h"

namespace brisk {

namespace {

// Links go as files: only the link is removed.
std::vector<DeleteItem> deleteItems(const FilePanel& panel, const std::vector<size_t>& selected)
{
    std::vector<DeleteItem> items;
    for (size_t index : selected) {
        const PanelRow& row = panel.rows()[index];
        items.push_back({row.caption, row.image != kImageFile && !IsSymbolicLink(row.attributes)});
    }
    return items;
}

} // namespace

void SessionController::remoteColumnClick(int tag)
{
    if (SiteListMode_)
        return;
    remote.panel.clickColumn(tag);
    changed();
}

void SessionController::remoteSelectionCommand(int tag)
{
    if (SiteListMode_)
        return;
    RunSelectionCommand(tag < 0 ? -tag : tag, remote.panel, ui_, msl, msgFtp, remote.selectionMask);
    changed();
}

void SessionController::remoteFilter()
{
    if (SiteListMode_)
        return;
    if (std::optional<std::string> mask = AskPanelMask(ui_, msl, msgFtp, remote.filterMask)) {
        remote.filterMask = *mask;
        FillRemotePanel();
        changed();
    }
}

void SessionController::setRemoteSelected(size_t row, bool on)
{
    if (SiteListMode_ || row >= remote.panel.size())
        return;
    remote.panel.setSelected(row, on);
    SetConnectedUI(true);
}

std::string SessionController::remoteStatusText() const
{
    if (!listingError_.empty())
        return listingError_;
    return SelectionStatusText(remote.panel.selectedTotal(), remote.panel.selectedCount(), msl[msgByte],
                               msl[msgIn], msl[msgFiles]);
}

void SessionController::MakeRemoteDir()
{
    if (!SiteListMode_ && (!Ftp1.Connected() || NavigationBusy_ || Ftp1.State() != fsReady))
        return;
    PromptRequest request;
    request.title = msl[msgCreateDirectory];
    request.label = msl[msgEnterNewDirName] + ":";
    std::string name;
    if (!ui_.InputPrompt(request, name))
        return;
    if (SiteListMode_)
        return sites.MakeFolder(name);
    connection_.mkd(name, afterDirStep());
}

void SessionController::RenameRemote()
{
    const int row = remote.panel.selectedIndex();
    if (SiteListMode_ || NavigationBusy_ || !Ftp1.Connected() || row < 0 || Ftp1.State() != fsReady)
        return;
    const PanelRow& entry = remote.panel.rows()[size_t(row)];
    const bool file = entry.image == kImageFile;
    const std::string& kind = msl[file ? xmsgFile : xmsgDirectory];
    PromptRequest request;
    request.title = msl[msgRename] + " " + kind;
    // A directory's new name is asked as when one is made.
    request.label = file ? msl[msgEnterNew] + " " + kind + " " + msl[msgName] + " :" : msl[msgEnterNewDirName] + ":";
    request.text = entry.caption;
    std::string answer;
    if (!ui_.InputPrompt(request, answer))
        return;
    rename_.start({{entry.caption, answer}});
}

void SessionController::RenameInPlace(size_t row, const std::string& newText)
{
    if (SiteListMode_ || row >= remote.panel.size() || Ftp1.State() != fsReady)
        return;
    AddLog(msl[msgRenamingFile]);
    NavigationBusy_ = true;
    rename_.start({{remote.panel.rows()[row].caption, newText}});
}

void SessionController::ChangeCaseRemote(int mode)
{
    if (SiteListMode_ || Ftp1.State() != fsReady)
        return;
    std::vector<RenamePair> pairs;
    for (size_t index : remote.panel.selectedIndices()) {
        const std::string& caption = remote.panel.rows()[index].caption;
        pairs.push_back({caption, ChangeNameCase(caption, mode)});
    }
    rename_.start(std::move(pairs));
}

// Deletes the selected files, then every selected directory with all it holds. A symbolic link
// is deleted as a file, never entered.
void SessionController::DeleteRemote()
{
    const std::vector<size_t> selected = remote.panel.selectedIndices();
    if (SiteListMode_ || NavigationBusy_ || selected.empty() || Ftp1.State() != fsReady)
        return;
    if (!ui_.AskYesNo(msl[msgAttention], DeleteQuestion(deleteItems(remote.panel, selected), msl)))
        return;
    BaseRemoteDir_ = RemoteDirRule(connection_.dir(), CurrentSite_.CheckVHost != 0);
    std::vector<WorkItem> files, dirs;
    for (size_t index : selected) {
        const PanelRow& row = remote.panel.rows()[index];
        if (!IsPlainEntryName(row.caption))
            continue;
        if (row.image == kImageFile || IsSymbolicLink(row.attributes))
            files.push_back({row.caption});
        else
            dirs.push_back({BaseRemoteDir_ + row.caption});
    }
    delete_.start(std::move(files), std::move(dirs));
}

} // namespace brisk
