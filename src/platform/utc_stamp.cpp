#include "platform/utc_stamp.h"

#include <algorithm>
#include <ctime>

namespace brisk {

namespace {

bool allDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int number(std::string_view digits)
{
    int value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

} // namespace

std::string UtcStamp(int64_t seconds)
{
    const std::time_t t = std::time_t(seconds);
    std::tm parts{};
    gmtime_r(&t, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &parts);
    return text;
}

int64_t ParseUtcStamp(std::string_view text)
{
    const size_t dot = text.find('.');
    if (dot != std::string_view::npos) {
        const std::string_view fraction = text.substr(dot + 1);
        if (fraction.empty() || fraction.size() > 9 || !allDigits(fraction))
            return -1;
        text = text.substr(0, dot);
    }
    if (text.size() != 14 || !allDigits(text))
        return -1;
    std::tm parts{};
    parts.tm_year = number(text.substr(0, 4)) - 1900;
    parts.tm_mon = number(text.substr(4, 2)) - 1;
    parts.tm_mday = number(text.substr(6, 2));
    parts.tm_hour = number(text.substr(8, 2));
    parts.tm_min = number(text.substr(10, 2));
    parts.tm_sec = number(text.substr(12, 2));
    const std::tm asked = parts;
    const std::time_t t = timegm(&parts);
    // timegm rolls 31 April over into 1 May: such a stamp is no time at all.
    if (parts.tm_mday != asked.tm_mday || parts.tm_mon != asked.tm_mon || parts.tm_hour != asked.tm_hour ||
        parts.tm_min != asked.tm_min || parts.tm_sec != asked.tm_sec || asked.tm_year < 70)
        return -1;
    return int64_t(t);
}

} // namespace brisk
