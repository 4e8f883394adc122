#include "session/site_list_controller.h"

#include "sites/site_defaults.h"

namespace brisk {

SiteListController::SiteListController(UserInterface& ui, const MainMessages& msl, const TFTPOptions& options,
                                       std::function<bool()> shown, std::function<void()> selectionChanged)
    : siteList(SiteDefaultsFrom(options), msl[msgServerList] + " ..."), ui_(ui), msl_(msl), options_(options),
      shown_(std::move(shown)), selectionChanged_(std::move(selectionChanged))
{
}

void SiteListController::selectSite(int index)
{
    selection_ = (index >= 0 && size_t(index) < siteList.entries().size()) ? index : -1;
    selectionChanged_();
}

const SiteEntry* SiteListController::selectedSite() const
{
    if (selection_ < 0 || size_t(selection_) >= siteList.entries().size())
        return nullptr;
    const SiteEntry& entry = siteList.entries()[size_t(selection_)];
    return entry.kind == SiteEntryKind::Site ? &entry : nullptr;
}

const SiteEntry* SiteListController::siteToOpen()
{
    if (selection_ < 0)
        NewSite();
    else if (siteList.entries()[size_t(selection_)].kind != SiteEntryKind::Site)
        OpenSiteListFolder(size_t(selection_));
    return selectedSite();
}

void SiteListController::choosePathItem(int index)
{
    siteList.selectPathItem(index);
    selection_ = -1;
}

void SiteListController::refresh()
{
    siteList.refresh();
    selection_ = -1;
    ui_.Changed();
}

void SiteListController::showRoot()
{
    siteList.LoadSiteList("");
    selection_ = -1;
}

void SiteListController::reselectSite(const std::string& folder, const std::string& caption)
{
    if (caption.empty() || !siteList.LoadSiteList(folder))
        return;
    const auto& entries = siteList.entries();
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].kind == SiteEntryKind::Site && entries[i].caption == caption)
            selection_ = int(i);
}

void SiteListController::ApplyOptions()
{
    siteList.setDefaults(SiteDefaultsFrom(options_));
}

void SiteListController::MessagesChanged()
{
    siteList.setRootItemText(msl_[msgServerList] + " ...");
}

} // namespace brisk
