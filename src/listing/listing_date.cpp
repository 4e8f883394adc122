#include "listing/listing_date.h"

#include "listing/split_fields.h"
#include "listing/text_util.h"

#include <cstdio>
#include <optional>
#include <vector>

namespace brisk {

namespace {

struct DateParts {
    int64_t day = 0;
    int64_t month = 0;
    int64_t year = 0;
    bool yearGiven = false;
};

std::string_view separatorOf(std::string_view text)
{
    for (std::string_view candidate : {".", "/", "\\"}) {
        if (text.find(candidate) != std::string_view::npos)
            return candidate;
    }
    return " ";
}

std::optional<int64_t> numberAt(const std::vector<std::string_view>& parts, size_t index)
{
    return index < parts.size() ? decimalValue(parts[index]) : std::nullopt;
}

// "d.m[.y]" and the like; two-digit years below 80 are 20xx, from 80 19xx. False when a given
// year is no number.
bool readNumericDate(const std::vector<std::string_view>& parts, DateParts& date)
{
    date.day = numberAt(parts, 0).value_or(0);
    date.month = numberAt(parts, 1).value_or(0);
    if (parts.size() < 3)
        return true;
    const auto year = numberAt(parts, 2);
    if (!year)
        return false;
    date.year = *year < 80 ? 2000 + *year : *year < 100 ? 1900 + *year : *year;
    date.yearGiven = true;
    return true;
}

// "Mar 3", "3 Mar 1999", "Dec 24 1999": month names and numbers in any order.
void readWordDate(const std::vector<std::string_view>& parts, DateParts& date)
{
    for (std::string_view part : parts) {
        const auto n = decimalValue(part);
        if (!n) {
            const int month = monthFromWordPosition(part);
            if (date.month == 0 && month != 0)
                date.month = month;
        } else if (date.day == 0 && *n >= 1 && *n <= 31) {
            date.day = *n;
        } else if (date.month == 0 && *n >= 1 && *n <= 12) {
            date.month = *n;
        } else if (*n >= 1 && *n <= 2099) {
            date.year = *n;
            date.yearGiven = true;
        }
    }
}

std::string formatDate(const CalendarDate& date, DateOrder order)
{
    const bool dayFirst = order == DateOrder::DayFirst;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d.%02d.%04d", dayFirst ? date.day : date.month,
                  dayFirst ? date.month : date.day, date.year);
    return buffer;
}

} // namespace

std::string FormatListingDate(std::string_view text, DateOrder order, const CalendarDate& today, int fullYear)
{
    const std::string_view trimmed = trimBlanks(text);
    if (trimmed.empty())
        return {};
    const std::string_view separator = separatorOf(trimmed);
    std::vector<std::string_view> parts;
    splitFieldViews(separator, trimmed, parts);
    DateParts date;
    date.year = today.year;
    if (separator != " ") {
        if (!readNumericDate(parts, date))
            return std::string(trimmed);
    } else {
        readWordDate(parts, date);
    }
    if (date.yearGiven && fullYear != 0)
        date.year = fullYear;
    if (date.day <= 0 || date.month <= 0 || date.day > 31 || date.month > 12 || date.year > 9999)
        return std::string(trimmed);
    if (!date.yearGiven)
        date.year = listingYear(int(date.month), int(date.day), today);
    const CalendarDate calendar{int(date.year), int(date.month), int(date.day)};
    return isValidDate(calendar) ? formatDate(calendar, order) : std::string(trimmed);
}

std::string FormatListingDate(std::string_view text, DateOrder order, int fullYear)
{
    return FormatListingDate(text, order, localToday(), fullYear);
}

} // namespace brisk
