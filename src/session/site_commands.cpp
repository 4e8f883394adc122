#include "session/session_controller.h"

#include "sites/site_defaults.h"
#include "sites/site_properties.h"
#include "sites/time_zones.h"

namespace brisk {

namespace {

void reportOutcome(UserInterface& ui, const MessageList& msl, const SiteListOutcome& outcome)
{
    if (outcome.status == SiteListStatus::CannotCreateDirectory)
        ui.ShowMessage(msl[msgAttention], msl[msgCanNotCreateDirectory] + " :" + outcome.path);
    else if (outcome.status == SiteListStatus::WriteFailed)
        ui.ShowMessage(msl[msgAttention], "Unable to write to " + outcome.path);
}

} // namespace

void SessionController::NewSite()
{
    TFTPServerInfo site;
    InitSiteDefaults(site, SiteDefaultsFrom(options_));
    brisk::SiteProperties dialog(site, SystemTimeZoneList());
    if (!ui_.EditSite(dialog))
        return;
    size_t index = 0;
    const SiteListOutcome outcome = siteList.addSite(dialog.result(), index);
    reportOutcome(ui_, msl, outcome);
    selectSite(int(index));
}

void SessionController::EditSiteProperties()
{
    if (!SiteListMode_)
        return;
    const bool haveSite = siteSelection_ >= 0 &&
                          siteList.entries()[size_t(siteSelection_)].kind == SiteEntryKind::Site;
    brisk::SiteProperties dialog(haveSite ? siteList.entries()[size_t(siteSelection_)].site : TFTPServerInfo{},
                                 SystemTimeZoneList());
    if (!ui_.EditSite(dialog))
        return;
    size_t index = haveSite ? size_t(siteSelection_) : 0;
    const SiteListOutcome outcome =
        haveSite ? siteList.replaceSite(index, dialog.result()) : siteList.addSite(dialog.result(), index);
    reportOutcome(ui_, msl, outcome);
    selectSite(int(index));
}

} // namespace brisk
