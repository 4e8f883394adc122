#include "session/session_controller.h"

#include "listing/file_panel.h"
#include "listing/selection_commands.h"
#include "session/remote_paths.h"

namespace brisk {

namespace {

// The delete question names what goes: up to five entries by name (directories with a "/"),
// more by their count.
std::string deleteQuestion(const FilePanel& panel, const std::vector<size_t>& selected, const MainMessages& msl)
{
    size_t files = 0, dirs = 0;
    std::vector<std::string> names;
    for (size_t index : selected) {
        const PanelRow& row = panel.rows()[index];
        const bool file = row.image == kImageFile || IsSymbolicLink(row.attributes);
        ++(file ? files : dirs);
        names.push_back("\"" + PrintableName(row.caption) + (file ? "\"" : "/\""));
    }
    std::string text = msl[msgWishToRemove] + " ";
    if (names.size() > 5) {
        text += std::to_string(files) + " " + msl[msgFiles];
        if (dirs > 0)
            text += " " + msl[msgAnd] + " " + std::to_string(dirs) + " " + msl[msgFolders];
        return text + "?";
    }
    for (size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " " + msl[msgAnd] + " " : ", ") + names[i];
    return text + "?";
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
    const std::string& kind = msl[entry.image == kImageFile ? xmsgFile : xmsgDirectory];
    PromptRequest request;
    request.title = msl[msgRename] + " " + kind;
    request.label = msl[msgEnterNew] + " " + kind + " " + msl[msgName] + " :";
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
    if (!ui_.AskYesNo(msl[msgAttention], deleteQuestion(remote.panel, selected, msl)))
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
