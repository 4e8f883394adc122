#pragma once
#include "listing/calendar_date.h"
#include "listing/remote_listing.h"
#include "mirror/mirror_stamp.h"

#include <cstdint>
#include <string>

namespace brisk {

// The time a downloaded file gets, in seconds since the epoch: the exact one MDTM gave (`exact`,
// 0 when none), else the one the listing shows for `name`, read on the listing's clock; 0 when
// neither is known.
int64_t DownloadedFileTime(int64_t exact, const RemoteListing& listing, const std::string& name,
                           const CalendarDate& today, RemoteClock clock);

} // namespace brisk
