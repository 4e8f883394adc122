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

// The year of a listing's day and month without one: this year's unless more than a day after
// `today` (a server east of here lists a file made just now with tomorrow's date), else last year's.
int listingYear(int month, int day, const CalendarDate& today);

// Today's date in the local time zone.
CalendarDate localToday();

} // namespace brisk
