#pragma once
#include "sites/server_info.h"
#include "sites/time_zones.h"

namespace brisk::test {

// A fixed zone list, so tests do not depend on the machine's time zones; "UTC" is the current one.
inline TimeZoneList fixedZones()
{
    TimeZoneList z;
    z.texts = {"(GMT-05:00) America/New_York", "(GMT+00:00) UTC", "(GMT+05:30) Asia/Kolkata"};
    z.current = 1;
    return z;
}

// A new site with the defaults of a new site.
inline TFTPServerInfo newDefaultSite()
{
    TFTPServerInfo site;
    InitSiteDefaults(site, SiteDefaults{});
    return site;
}

} // namespace brisk::test
