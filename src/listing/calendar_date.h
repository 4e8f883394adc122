#pragma once
#include <compare>

namespace brisk {

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;

    auto operator<=>(const CalendarDate&) const = default;
};

// A real day of the proleptic Gregorian calendar in the years 1 to 9999.
bool isValidDate(const CalendarDate& date);

// Today's date in the local time zone.
CalendarDate localToday();

} // namespace brisk
