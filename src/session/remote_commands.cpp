#include "session/session_controller.h"

#include "listing/selection_commands.h"

namespace brisk {

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
    return SelectionStatusText(remote.panel.selectedTotal(), remote.panel.selectedCount(), msl[msgByte],
                               msl[msgIn], msl[msgFiles]);
}

void SessionController::RenameRemote()
{
    const int row = remote.panel.selectedIndex();
    if (SiteListMode_ || NavigationBusy_ || !Ftp1.Connected() || row < 0 || Ftp1.State() != fsReady)
        return;
    const PanelRow& entry = remote.panel.rows()[size_t(row)];
    const std::string kind = entry.image == kImageFile ? "File" : "Directory";
    PromptRequest request;
    request.title = msl[msgRename] + " " + kind;
    request.label = msl[msgEnterNew] + " " + kind + " " + msl[msgName] + " :";
    request.text = entry.caption;
    std::string answer;
    if (!ui_.InputPrompt(request, answer))
        return;
    FileQueue.clear();
    TargetQueue.clear();
    Ftp1.HostFileName = entry.caption;
    Ftp1.LocalFileName = answer;
    Ftp1.RenAsync();
}

void SessionController::RenameInPlace(size_t row, const std::string& newText)
{
    if (SiteListMode_ || row >= remote.panel.size() || Ftp1.State() != fsReady)
        return;
    AddLog(msl[msgRenamingFile]);
    NavigationBusy_ = true;
    FileQueue.clear();
    TargetQueue.clear();
    Ftp1.HostFileName = remote.panel.rows()[row].caption;
    Ftp1.LocalFileName = newText;
    Ftp1.RenAsync();
}

} // namespace brisk
