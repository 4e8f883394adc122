#include "listing/time_of_day.h"

#include "listing/text_util.h"

#include <algorithm>

namespace brisk {

namespace {

// The number before the next ':' (or the end), within 0..limit; `text` moves past it.
std::optional<int> takePart(std::string_view& text, int limit)
{
    const size_t colon = text.find(':');
    const auto value = decimalValue(text.substr(0, colon));
    text = colon == std::string_view::npos ? std::string_view{} : text.substr(colon + 1);
    if (!value || *value > limit)
        return std::nullopt;
    return int(*value);
}

// 'A' or 'P' for a text ending in "AM" or "PM" (any case) after the clock time, else 0.
char meridiemOf(std::string_view text)
{
    if (text.size() < 3 || upperAscii(text.back()) != 'M')
        return 0;
    const char c = upperAscii(text[text.size() - 2]);
    return c == 'A' || c == 'P' ? c : 0;
}

// Hours of a twelve-hour clock ("AM"/"PM" already cut off) on the 24-hour clock.
std::optional<int> fromTwelveHours(int hours, bool afternoon)
{
    if (hours < 1 || hours > 12)
        return std::nullopt;
    return hours % 12 + (afternoon ? 12 : 0);
}

} // namespace

std::optional<int> SecondsOfDay(std::string_view text)
{
    text = trimBlanks(text);
    const char meridiem = meridiemOf(text);
    if (meridiem != 0)
        text = trimBlanks(text.substr(0, text.size() - 2));
    std::optional<int> hours = takePart(text, 23);
    const std::optional<int> minutes = takePart(text, 59);
    const std::optional<int> seconds = text.empty() ? 0 : takePart(text, 59);
    if (hours && meridiem != 0)
        hours = fromTwelveHours(*hours, meridiem == 'P');
    if (!hours || !minutes || !seconds || !text.empty())
        return std::nullopt;
    return (*hours * 60 + *minutes) * 60 + *seconds;
}

bool TimeShowsSeconds(std::string_view text)
{
    return SecondsOfDay(text) && std::count(text.begin(), text.end(), ':') == 2;
}

} // namespace brisk
