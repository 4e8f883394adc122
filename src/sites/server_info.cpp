#include "sites/server_info.h"

namespace brisk {

void InitSiteDefaults(TFTPServerInfo& site, const SiteDefaults& defaults)
{
    site.User = "anonymous";
    site.EMail = defaults.EMail.substr(0, SiteLimits::EMail);
    site.SavePassword = 1;
    site.Port = "21";
    site.Pasv = 1;   // most clients sit behind NAT, where active mode fails
    site.Answer = kDefaultAnswer;
    site.AnswerName = defaults.AnswerName.substr(0, SiteLimits::AnswerName);
    site.CheckPSW = 1;
    site.TimeZone = defaults.TimeZone;
    site.TimeZoneV = -1;
    site.Security = 1; // explicit TLS when the server offers it
}

} // namespace brisk
