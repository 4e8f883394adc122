#include "listing/panel_row.h"

#include "listing/text_util.h"
#include "listing/time_of_day.h"

#include <cstdint>
#include <string_view>

namespace brisk {

namespace {

int compareTextNoCase(std::string_view a, std::string_view b)
{
    const size_t common = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < common; ++i) {
        const auto ca = static_cast<unsigned char>(upperAscii(a[i]));
        const auto cb = static_cast<unsigned char>(upperAscii(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Bigger sizes first for an ascending state; sizes that are no number count as 0.
int compareSizes(std::string_view a, std::string_view b)
{
    const int64_t sizeA = decimalValue(trimBlanks(a)).value_or(0);
    const int64_t sizeB = decimalValue(trimBlanks(b)).value_or(0);
    return sizeB > sizeA ? 1 : sizeB < sizeA ? -1 : 0;
}

std::string_view characters(std::string_view text, size_t from, size_t count)
{
    return from - 1 < text.size() ? text.substr(from - 1, count) : std::string_view{};
}

// Year, month, day of a display date, so that keys compare as text in date order.
std::string dateKey(std::string_view date, DateOrder order)
{
    std::string key(characters(date, 7, 4));
    if (order == DateOrder::DayFirst) {
        key += characters(date, 4, 2);
        key += characters(date, 1, 2);
    } else {
        key += characters(date, 1, 2);
        key += characters(date, 4, 2);
    }
    return key;
}

// Within one day by time of day; a time that reads as none (the empty time of an entry dated with a
// year included) goes before all others, and such times among themselves as text.
int compareTimesOfDay(std::string_view a, std::string_view b)
{
    const int secondsA = SecondsOfDay(a).value_or(-1);
    const int secondsB = SecondsOfDay(b).value_or(-1);
    if (secondsA != secondsB)
        return secondsA < secondsB ? -1 : 1;
    return compareTextNoCase(a, b);
}

int compareDates(const PanelRowView& a, const PanelRowView& b, DateOrder order)
{
    const int byDate = compareTextNoCase(dateKey(a.date, order), dateKey(b.date, order));
    return byDate != 0 ? byDate : compareTimesOfDay(a.time, b.time);
}

int compareByColumn(const PanelRowView& a, const PanelRowView& b, int64_t column, DateOrder order)
{
    switch (column) {
    case kSortSize: return compareSizes(a.size, b.size);
    case kSortDate: return compareDates(a, b, order);
    case kSortTime: return compareTextNoCase(a.time, b.time);
    case kSortAttributes: return compareTextNoCase(a.attributes, b.attributes);
    default: return compareTextNoCase(a.caption, b.caption);
    }
}

} // namespace

int ComparePanelRows(const PanelRowView& a, const PanelRowView& b, int sortState, DateOrder order)
{
    if (a.image != b.image)
        return a.image < b.image ? -1 : 1;
    const int64_t column = sortState < 0 ? -int64_t(sortState) : sortState;
    const int result = compareByColumn(a, b, column, order);
    return sortState < 0 ? -result : result;
}

} // namespace brisk
