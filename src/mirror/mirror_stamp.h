#pragma once
#include "listing/calendar_date.h"
#include "listing/remote_entry.h"

#include <cstdint>
#include <ctime>

namespace brisk {

// How finely a listing gives a file's time: a year instead of a time of day gives days only.
enum class StampPrecision { Days, Minutes, Seconds };

// The clock a listing's times are written in. A machine listing's UTC times reach the entries
// already turned into this process's local time; a plain listing shows the server's wall clock,
// which the site's time zone (hours east of UTC) says.
struct RemoteClock {
    bool processLocal = false;
    int zoneHours = 0;
};

// A file's modification time in seconds since the epoch (UTC). A listing's time stands for the
// whole span its precision leaves open, from `utc` on.
struct MirrorStamp {
    int64_t utc = 0;
    StampPrecision precision = StampPrecision::Seconds;
    bool known = false;   // false when the listing's date cannot be read
};

// The time a remote listing record gives, at the listing's precision. A date without a year that
// lies after `today` belongs to the previous year.
MirrorStamp RemoteStamp(const RemoteEntry& entry, const CalendarDate& today, RemoteClock clock);

// A local file's time, to the second.
MirrorStamp LocalStamp(std::time_t modified);

// Whether a local file is newer than the remote one (it is past the remote time's whole span) or
// older (before its start). Both false when either time is unknown: nothing is ever older than
// a time that cannot be read.
bool LocalIsNewer(const MirrorStamp& local, const MirrorStamp& remote);
bool RemoteIsNewer(const MirrorStamp& remote, const MirrorStamp& local);

} // namespace brisk
