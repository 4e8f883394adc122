#include "listing/listing_date.h"

#include <gtest/gtest.h>

#include <string>

namespace brisk {
namespace {

const CalendarDate kToday{2026, 12, 5};

struct DateCase {
    std::string text;
    DateOrder order;
    std::string shown;
    int fullYear = 0;
};

class FormatListingDateTable : public testing::TestWithParam<DateCase> {};

TEST_P(FormatListingDateTable, Formats)
{
    const DateCase& c = GetParam();
    EXPECT_EQ(FormatListingDate(c.text, c.order, kToday, c.fullYear), c.shown) << c.text << " " << c.fullYear;
}

constexpr DateOrder kDay = DateOrder::DayFirst;
constexpr DateOrder kMonth = DateOrder::MonthFirst;

INSTANTIATE_TEST_SUITE_P(
    Dates, FormatListingDateTable,
    testing::Values(DateCase{"03.03.26", kDay, "03.03.2026"},
                    DateCase{"24.12.99", kDay, "24.12.1999"},
                    DateCase{"Mar 3", kDay, "03.03.2026"},
                    DateCase{"Dec 24", kDay, "24.12.2025"},
                    DateCase{"Dec 24 1999", kDay, "24.12.1999"},
                    DateCase{"24-DEC-1999", kDay, "24-DEC-1999"},
                    DateCase{"error", kDay, "error"},
                    DateCase{"  ", kDay, ""},
                    DateCase{" Dec 5 ", kDay, "05.12.2026"},
                    DateCase{"Dec 6", kDay, "06.12.2025"},
                    DateCase{"Dec 24", kMonth, "12.24.2025"},
                    DateCase{"24/12/2001", kDay, "24.12.2001"},
                    DateCase{"3 Mar", kDay, "03.03.2026"},
                    DateCase{"05.01.80", kDay, "05.01.1980"},
                    DateCase{"05.01.79", kDay, "05.01.2079"},
                    DateCase{"05.01", kDay, "05.01.2026"},
                    DateCase{"Feb 29", kDay, "Feb 29"},
                    DateCase{"29.02.24", kDay, "29.02.2024"},
                    DateCase{"31.04.24", kDay, "31.04.24"},
                    DateCase{"15.01.x1", kDay, "15.01.x1"},
                    DateCase{"1.2.99999999", kDay, "1.2.99999999"},
                    DateCase{"Jun 3 2100", kDay, "03.06.2026"},
                    DateCase{"12 5", kDay, "12.05.2026"},
                    DateCase{"01.01.70", kDay, "01.01.1970", 1970},
                    DateCase{"15.06.75", kMonth, "06.15.1975", 1975},
                    DateCase{"29.02.00", kDay, "29.02.2000", 2000},
                    DateCase{"29.02.00", kDay, "29.02.00", 1900},
                    DateCase{"Dec 24", kDay, "24.12.2025", 1999}));

} // namespace
} // namespace brisk
