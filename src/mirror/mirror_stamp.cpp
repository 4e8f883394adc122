#include "mirror/mirror_stamp.h"

#include "listing/listing_date.h"
#include "listing/time_of_day.h"

#include <algorithm>
#include <chrono>

namespace brisk {

namespace {

constexpr int64_t kSecondsPerDay = 24 * 60 * 60;

bool allDigitsAt(const std::string& text, std::initializer_list<size_t> positions)
{
    return std::all_of(positions.begin(), positions.end(),
                       [&](size_t i) { return text[i] >= '0' && text[i] <= '9'; });
}

// The panels' "dd.mm.yyyy" form back to a date; all zero for anything else.
CalendarDate readPanelDate(const std::string& text)
{
    CalendarDate date;
    if (text.size() != 10 || text[2] != '.' || text[5] != '.' || !allDigitsAt(text, {0, 1, 3, 4, 6, 7, 8, 9}))
        return {};
    date.day = std::stoi(text.substr(0, 2));
    date.month = std::stoi(text.substr(3, 2));
    date.year = std::stoi(text.substr(6, 4));
    return isValidDate(date) ? date : CalendarDate{};
}

StampPrecision precisionOf(const std::string& time)
{
    return TimeShowsSeconds(time) ? StampPrecision::Seconds : StampPrecision::Minutes;
}

int64_t spanOf(StampPrecision precision)
{
    switch (precision) {
    case StampPrecision::Days: return kSecondsPerDay;
    case StampPrecision::Minutes: return 60;
    case StampPrecision::Seconds: break;
    }
    return 1;
}

int64_t daysSinceEpoch(const CalendarDate& date)
{
    const std::chrono::year_month_day day{std::chrono::year(date.year), std::chrono::month(unsigned(date.month)),
                                          std::chrono::day(unsigned(date.day))};
    return std::chrono::sys_days(day).time_since_epoch().count();
}

// A wall-clock time of this process's zone (an hour that a clock turned back shows twice reads as
// either of the two).
int64_t processLocalUtc(const CalendarDate& date, int seconds)
{
    std::tm parts{};
    parts.tm_year = date.year - 1900;
    parts.tm_mon = date.month - 1;
    parts.tm_mday = date.day;
    parts.tm_sec = seconds;
    parts.tm_isdst = -1;
    return int64_t(std::mktime(&parts));
}

} // namespace

MirrorStamp RemoteStamp(const RemoteEntry& entry, const CalendarDate& today, RemoteClock clock)
{
    const CalendarDate date = readPanelDate(FormatListingDate(entry.date, DateOrder::DayFirst, today, entry.year));
    if (date.year == 0)
        return {};
    const auto seconds = SecondsOfDay(entry.time);
    MirrorStamp stamp;
    stamp.precision = seconds ? precisionOf(entry.time) : StampPrecision::Days;
    stamp.known = true;
    if (clock.processLocal)
        stamp.utc = processLocalUtc(date, seconds.value_or(0));
    else
        stamp.utc = daysSinceEpoch(date) * kSecondsPerDay + seconds.value_or(0) - int64_t(clock.zoneHours) * 3600;
    return stamp;
}

MirrorStamp LocalStamp(std::time_t modified)
{
    return {int64_t(modified), StampPrecision::Seconds, true};
}

bool LocalIsNewer(const MirrorStamp& local, const MirrorStamp& remote)
{
    return local.known && remote.known && local.utc >= remote.utc + spanOf(remote.precision);
}

bool RemoteIsNewer(const MirrorStamp& remote, const MirrorStamp& local)
{
    return local.known && remote.known && local.utc < remote.utc;
}

} // namespace brisk
