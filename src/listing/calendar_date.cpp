#include "listing/calendar_date.h"

#include <ctime>

namespace brisk {

namespace {

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

} // namespace

bool isValidDate(const CalendarDate& date)
{
    if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12)
        return false;
    return date.day >= 1 && date.day <= daysInMonth(date.year, date.month);
}

int listingYear(int month, int day, const CalendarDate& today)
{
    CalendarDate tomorrow{today.year, today.month, today.day + 1};
    if (!isValidDate(tomorrow))
        tomorrow = {today.year, today.month + 1, 1};   // past December 31 nothing is later
    const bool later = month > tomorrow.month || (month == tomorrow.month && day > tomorrow.day);
    return later ? today.year - 1 : today.year;
}

CalendarDate localToday()
{
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday};
}

} // namespace brisk
