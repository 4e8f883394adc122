#include "mirror/mirror_stamp.h"

#include "listing/listing_date.h"
#include "listing/time_of_day.h"

#include <algorithm>
#include <tuple>

namespace brisk {

namespace {

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
    const auto colons = std::count(time.begin(), time.end(), ':');
    return colons >= 2 ? StampPrecision::Seconds : StampPrecision::Minutes;
}

std::tuple<CalendarDate, int> truncated(const MirrorStamp& stamp, StampPrecision precision)
{
    switch (precision) {
    case StampPrecision::Days: return {stamp.date, 0};
    case StampPrecision::Minutes: return {stamp.date, stamp.seconds / 60};
    case StampPrecision::Seconds: break;
    }
    return {stamp.date, stamp.seconds};
}

} // namespace

MirrorStamp RemoteStamp(const RemoteEntry& entry, const CalendarDate& today)
{
    const std::string text = FormatListingDate(entry.date, DateOrder::DayFirst, today, entry.year);
    MirrorStamp stamp;
    stamp.date = readPanelDate(text);
    const auto seconds = SecondsOfDay(entry.time);
    stamp.seconds = seconds.value_or(0);
    stamp.precision = seconds ? precisionOf(entry.time) : StampPrecision::Days;
    return stamp;
}

MirrorStamp LocalStamp(std::time_t modified)
{
    std::tm parts{};
    localtime_r(&modified, &parts);
    return {{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday},
            parts.tm_hour * 3600 + parts.tm_min * 60 + parts.tm_sec,
            StampPrecision::Seconds};
}

bool LaterAt(const MirrorStamp& a, const MirrorStamp& b, StampPrecision precision)
{
    return truncated(a, precision) > truncated(b, precision);
}

} // namespace brisk
