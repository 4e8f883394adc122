#include "session/site_list_controller.h"

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

void SiteListController::MakeFolder(const std::string& name)
{
    size_t index = 0;
    const SiteListOutcome outcome = siteList.makeFolder(name, index);
    if (outcome.status == SiteListStatus::CannotCreateDirectory || outcome.status == SiteListStatus::Failed)
        ui_.ShowMessage(msl_[msgAttention],
                        msl_[msgCanNotCreateDirectory] + " :" + siteList.CurrentSiteFolder() + name);
    else
        selectSite(int(index));
    ui_.Changed();
}

void SiteListController::RenameSiteFolder()
{
    if (!shown_() || selection_ < 0)
        return;
    const SiteEntry& entry = siteList.entries()[size_t(selection_)];
    if (entry.kind != SiteEntryKind::Folder)
        return;
    std::string name;
    if (!ui_.InputPrompt(renameDirectoryPrompt(msl_, entry.caption), name))
        return;
    siteList.renameFolder(size_t(selection_), name);
    ui_.Changed();
}

void SiteListController::DeleteSiteEntries(const std::vector<size_t>& selected)
{
    if (!shown_() || selected.empty())
        return;
    if (!ui_.AskYesNo(msl_[msgAttention], msl_[msgWishToRemove]))
        return;
    siteList.deleteEntries(selected);
    selectSite(-1);
}

void SiteListController::MoveSiteIntoFolder(size_t source, size_t target)
{
    if (!shown_())
        return;
    siteList.moveSiteIntoFolder(source, target);
    selectSite(-1);
}

void SiteListController::SiteListUp()
{
    if (!shown_())
        return;
    siteList.up();
    selectSite(-1);
}

void SiteListController::OpenSiteListFolder(size_t index)
{
    if (!shown_())
        return;
    siteList.openEntry(index);
    selectSite(-1);
}

} // namespace brisk
