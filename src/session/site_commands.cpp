#include "session/site_list_controller.h"

#include "platform/ascii.h"
#include "sites/site_defaults.h"
#include "sites/site_properties.h"
#include "sites/time_zones.h"

namespace brisk {

namespace {

void reportOutcome(UserInterface& ui, const MainMessages& msl, const SiteListOutcome& outcome)
{
    if (outcome.status == SiteListStatus::CannotCreateDirectory)
        ui.ShowMessage(msl[msgAttention], msl[msgCanNotCreateDirectory] + " :" + outcome.path);
    else if (outcome.status == SiteListStatus::WriteFailed)
        ui.ShowMessage(msl[msgAttention], FormatMessage(msl[xmsgUnableToWrite], {outcome.path}));
}

} // namespace

void SiteListController::NewSite()
{
    TFTPServerInfo site;
    InitSiteDefaults(site, SiteDefaultsFrom(options_));
    brisk::SiteProperties dialog(site, SystemTimeZoneList());
    if (!ui_.EditSite(dialog))
        return;
    size_t index = 0;
    const SiteListOutcome outcome = siteList.addSite(dialog.result(), index);
    reportOutcome(ui_, msl_, outcome);
    selectSite(int(index));
}

void SiteListController::SaveSiteAs(const TFTPServerInfo& site)
{
    PromptRequest request;
    request.title = msl_[xmsgSaveAsSite];
    request.label = msl_[xmsgSiteName];
    request.text = site.Name;
    request.maxLength = SiteLimits::Name;
    std::string name;
    if (!ui_.InputPrompt(request, name))
        return;
    TFTPServerInfo named = site;
    named.Name = trimmed(name).substr(0, SiteLimits::Name);
    if (named.Name.empty()) {
        ui_.ShowMessage(msl_[msgAttention], msl_[xmsgMissingSiteName]);
        return;
    }
    size_t index = 0;
    reportOutcome(ui_, msl_, siteList.addSite(named, index));
    // During a session the list is not shown; selecting would reset the session's actions.
    if (shown_())
        selectSite(int(index));
}

void SiteListController::EditSiteProperties()
{
    if (!shown_())
        return;
    const bool haveSite = selection_ >= 0 && siteList.entries()[size_t(selection_)].kind == SiteEntryKind::Site;
    brisk::SiteProperties dialog(haveSite ? siteList.entries()[size_t(selection_)].site : TFTPServerInfo{},
                                 SystemTimeZoneList());
    if (!ui_.EditSite(dialog))
        return;
    size_t index = haveSite ? size_t(selection_) : 0;
    const SiteListOutcome outcome =
        haveSite ? siteList.replaceSite(index, dialog.result()) : siteList.addSite(dialog.result(), index);
    reportOutcome(ui_, msl_, outcome);
    selectSite(int(index));
}

} // namespace brisk
