#pragma once
#include "listing/calendar_date.h"
#include "listing/remote_entry.h"

#include <ctime>

namespace brisk {

// How finely a listing gives a file's time: a year instead of a time of day gives days only.
enum class StampPrecision { Days, Minutes, Seconds };

// A file's modification time as a calendar day and seconds after midnight.
struct MirrorStamp {
    CalendarDate date;   // all zero when unknown: earlier than any real date
    int seconds = 0;
    StampPrecision precision = StampPrecision::Seconds;
};

// The time a remote listing record gives, at the listing's precision. A date without a year that
// lies after `today` belongs to the previous year.
MirrorStamp RemoteStamp(const RemoteEntry& entry, const CalendarDate& today);

// A local file's time, in the local time zone, to the second.
MirrorStamp LocalStamp(std::time_t modified);

// Whether `a` is later than `b` when both are cut to `precision` (the remote listing's).
bool LaterAt(const MirrorStamp& a, const MirrorStamp& b, StampPrecision precision);

} // namespace brisk
