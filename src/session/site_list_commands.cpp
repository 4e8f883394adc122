#include "session/session_controller.h"

namespace brisk {

namespace {

PromptRequest renameDirectoryPrompt(const MainMessages& msl, const std::string& oldName)
{
    PromptRequest request;
    request.title = msl[msgRename] + " " + msl[xmsgDirectory];
    request.label = msl[msgEnterNewDirName] + ":";
    request.text = oldName;
    return request;
}

} // namespace

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
    if (!SiteListMode_) {
        Ftp1.HostFileName = name;
        Ftp1.MkdAsync();
        return;
    }
    size_t index = 0;
    const SiteListOutcome outcome = siteList.makeFolder(name, index);
    if (outcome.status == SiteListStatus::CannotCreateDirectory || outcome.status == SiteListStatus::Failed)
        ui_.ShowMessage(msl[msgAttention], msl[msgCanNotCreateDirectory] + " :" + siteList.CurrentSiteFolder() + name);
    else
        selectSite(int(index));
    changed();
}

void SessionController::RenameSiteFolder()
{
    if (!SiteListMode_ || siteSelection_ < 0)
        return;
    const SiteEntry& entry = siteList.entries()[size_t(siteSelection_)];
    if (entry.kind != SiteEntryKind::Folder)
        return;
    std::string name;
    if (!ui_.InputPrompt(renameDirectoryPrompt(msl, entry.caption), name))
        return;
    siteList.renameFolder(size_t(siteSelection_), name);
    changed();
}

void SessionController::DeleteSiteEntries(const std::vector<size_t>& selected)
{
    if (!SiteListMode_ || selected.empty())
        return;
    if (!ui_.AskYesNo(msl[msgAttention], msl[msgWishToRemove]))
        return;
    siteList.deleteEntries(selected);
    selectSite(-1);
}

void SessionController::MoveSiteIntoFolder(size_t source, size_t target)
{
    if (!SiteListMode_)
        return;
    siteList.moveSiteIntoFolder(source, target);
    selectSite(-1);
}

void SessionController::SiteListUp()
{
    if (!SiteListMode_)
        return;
    siteList.up();
    selectSite(-1);
}

void SessionController::OpenSiteListFolder(size_t index)
{
    if (!SiteListMode_)
        return;
    siteList.openEntry(index);
    selectSite(-1);
}

} // namespace brisk
