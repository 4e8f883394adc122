#pragma once
#include "listing/calendar_date.h"
#include "listing/date_order.h"

#include <string>
#include <string_view>

namespace brisk {

// The date shown in the panels for a record's date text: "dd.mm.yyyy" (or "mm.dd.yyyy") when the
// text reads as a calendar date, else the trimmed text itself. A date without a year that lies
// after `today` is taken from the previous year. A non-zero `fullYear` (the parser's RemoteEntry::year)
// stands for the year the text gives in two digits.
std::string FormatListingDate(std::string_view text, DateOrder order, const CalendarDate& today, int fullYear = 0);
std::string FormatListingDate(std::string_view text, DateOrder order, int fullYear = 0);

} // namespace brisk
