#include "listing/panel_row.h"
#include "listing/panel_sort_key.h"
#include "listing/row_details.h"
#include "listing/time_of_day.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brisk {
namespace {

PanelRow file(std::string name, std::string size, std::string date = "", std::string time = "")
{
    PanelRow row;
    row.image = kImageFile;
    row.caption = std::move(name);
    row.size = std::move(size);
    row.date = std::move(date);
    row.time = std::move(time);
    return row;
}

PanelRow directory(std::string name)
{
    PanelRow row;
    row.image = kImageDirectory;
    row.caption = std::move(name);
    return row;
}

std::vector<std::string> sortedCaptions(std::vector<PanelRow> rows, int state, DateOrder order = DateOrder::DayFirst)
{
    std::stable_sort(rows.begin(), rows.end(), [&](const PanelRow& a, const PanelRow& b) {
        return ComparePanelRows(a, b, state, order) < 0;
    });
    std::vector<std::string> captions;
    for (const PanelRow& row : rows)
        captions.push_back(row.caption);
    return captions;
}

TEST(ComparePanelRows, NamesIgnoreCaseOfAsciiLettersAndReverseWithSign)
{
    const std::vector<PanelRow> rows = {file("b", "1"), file("A", "1"), file("c", "1"), directory("z")};
    EXPECT_EQ(sortedCaptions(rows, 0), (std::vector<std::string>{"z", "A", "b", "c"}));
    EXPECT_EQ(sortedCaptions(rows, -kSortName), (std::vector<std::string>{"z", "c", "b", "A"}));
}

TEST(ComparePanelRows, DirectoriesStayBeforeFilesForSizeInBothDirections)
{
    PanelRow up = directory("..");
    up.image = kImageUp;
    const std::vector<PanelRow> rows = {file("big", "300000"), directory("d"), file("small", "2"),
                                        file("odd", "n/a"), up};
    EXPECT_EQ(sortedCaptions(rows, -kSortSize), (std::vector<std::string>{"..", "d", "odd", "small", "big"}));
    EXPECT_EQ(sortedCaptions(rows, kSortSize), (std::vector<std::string>{"..", "d", "big", "small", "odd"}));
}

TEST(ComparePanelRows, SizesAreSixtyFourBit)
{
    EXPECT_LT(ComparePanelRows(file("a", "5000000000"), file("b", "4999999999"), kSortSize, DateOrder::DayFirst), 0);
}

TEST(ComparePanelRows, DatesCompareAsYearMonthDayInBothDisplayOrders)
{
    const std::vector<PanelRow> dayFirst = {file("old", "", "31.12.1999"), file("new", "", "01.01.2026"),
                                            file("mid", "", "15.06.2001")};
    EXPECT_EQ(sortedCaptions(dayFirst, -kSortDate), (std::vector<std::string>{"new", "mid", "old"}));
    const std::vector<PanelRow> monthFirst = {file("old", "", "12.31.1999"), file("new", "", "01.01.2026"),
                                              file("mid", "", "06.15.2001")};
    EXPECT_EQ(sortedCaptions(monthFirst, kSortDate, DateOrder::MonthFirst),
              (std::vector<std::string>{"old", "mid", "new"}));
}

struct DateTimeOrderCase {
    int state;
    DateOrder order;
    std::vector<PanelRow> rows;
    std::vector<std::string> sorted;
};

// Rows of one day go by time of day, not by time text ("9:05" before "10:00", "11:00AM" before "03:47PM");
// a dated row without a time comes first in its day.
TEST(ComparePanelRows, DatesThenTimesOfDayInBothDirections)
{
    const std::vector<PanelRow> day = {file("pm", "", "01.01.2026", "03:47PM"), file("ten", "", "01.01.2026", "10:00"),
                                       file("late", "", "01.01.2026", "23:59:30"), file("none", "", "01.01.2026", ""),
                                       file("nine", "", "01.01.2026", "9:05"), file("am", "", "01.01.2026", "11:00AM"),
                                       file("eve", "", "31.12.2025", "23:59")};
    const std::vector<PanelRow> monthFirst = {file("b", "", "02.01.2026", "08:00"), file("a", "", "01.02.2026", "07:00"),
                                              file("c", "", "02.01.2026", "07:00")};
    const DateTimeOrderCase cases[] = {
        {kSortDate, DateOrder::DayFirst, day, {"eve", "none", "nine", "ten", "am", "pm", "late"}},
        {-kSortDate, DateOrder::DayFirst, day, {"late", "pm", "am", "ten", "nine", "none", "eve"}},
        {kSortDate, DateOrder::MonthFirst, monthFirst, {"a", "c", "b"}},
        {-kSortDate, DateOrder::MonthFirst, monthFirst, {"b", "c", "a"}},
    };
    for (const DateTimeOrderCase& c : cases) {
        SCOPED_TRACE(c.state);
        EXPECT_EQ(sortedCaptions(c.rows, c.state, c.order), c.sorted);
    }
}

// Names compare as upper-cased bytes: within the first eight (kept as a number per row for speed),
// beyond them, and where one is the other plus a NUL.
TEST(ComparePanelRows, NamesCompareByteByByteIgnoringCaseWithinAndBeyondEightBytes)
{
    using namespace std::string_literals;
    const struct {
        std::string a, b;
        int expected;
    } cases[] = {
        {"abcdefghX", "ABCDEFGHy", -1}, {"abcdefgh", "abcdefghi", -1}, {"ab", "ab\0"s, -1},
        {"ab\0"s, "ab", 1},            {"Ab", "aB", 0},                {"\xC3\xA9", "z", 1},
        {"", "a", -1},                  {"a\0b"s, "a\0a"s, 1},         {"abcdefgh\0"s, "abcdefgh", 1},
    };
    for (const auto& c : cases) {
        const int result = ComparePanelRows(file(c.a, "1"), file(c.b, "1"), kSortName, DateOrder::DayFirst);
        EXPECT_EQ((result > 0) - (result < 0), c.expected) << c.a << " / " << c.b;
    }
}

TEST(SecondsOfDay, ReadsListingTimesAndNothingElse)
{
    const std::pair<std::string, std::optional<int>> cases[] = {
        {"14:05", 50700},     {"9:05", 32700},       {"10:20:30", 37230}, {"12:30AM", 1800},
        {"12:00pm", 43200},   {"01:15 PM", 47700},   {" 00:00 ", 0},      {"", std::nullopt},
        {"24:00", std::nullopt}, {"10:60", std::nullopt}, {"13:00PM", std::nullopt}, {"0:10AM", std::nullopt},
        {"10", std::nullopt}, {"1:2:3:4", std::nullopt}, {"1999", std::nullopt}, {"AM", std::nullopt},
    };
    for (const auto& [text, seconds] : cases)
        EXPECT_EQ(SecondsOfDay(text), seconds) << '"' << text << '"';
}

TEST(ComparePanelRows, TimeAndAttributesAsText)
{
    EXPECT_LT(ComparePanelRows(file("a", "", "", "09:00"), file("b", "", "", "10:00"), kSortTime, DateOrder::DayFirst), 0);
    PanelRow r = file("a", "");
    r.attributes = "drwx";
    PanelRow s = file("b", "");
    s.attributes = "-rw-";
    EXPECT_GT(ComparePanelRows(r, s, kSortAttributes, DateOrder::DayFirst), 0);
    EXPECT_NE(ComparePanelRows(file("a", ""), file("b", ""), INT_MIN, DateOrder::DayFirst), 0);
}

// The arrow shows how the values run down the list: sizes sort biggest first in the plain direction.
TEST(SortIndicatorOf, ColumnAndDirectionOfEachState)
{
    const struct {
        int state, column;
        bool ascending;
    } cases[] = {{0, 0, true},  {-1, 0, false}, {1, 0, true},  {2, 1, false}, {-2, 1, true},
                 {3, 2, true},  {-3, 2, false}, {-4, 3, false}, {5, 4, true}, {-5, 4, false}};
    for (const auto& c : cases) {
        const SortIndicator indicator = SortIndicatorOf(c.state);
        EXPECT_EQ(indicator.column, c.column) << c.state;
        EXPECT_EQ(indicator.ascending, c.ascending) << c.state;
    }
}

TEST(RowDetailsText, ExactFiguresAndOnlyThoseTheRowHas)
{
    PanelRow link = file("www", "9223372036854775807", "01.01.1970", "10:20");
    link.attributes = "lrwxrwxrwx";
    link.link = "../public_html";
    EXPECT_EQ(RowDetailsText(MainMessages(), link, "/home/u"), "Name: www\nLocation: /home/u\nType: Symbolic link\n"
                                                "Size: 9223372036854775807 bytes\nModified: 01.01.1970 10:20\n"
                                                "Attributes: lrwxrwxrwx\nLink to: ../public_html");
    EXPECT_EQ(RowDetailsText(MainMessages(), directory("d"), "/"), "Name: d\nLocation: /\nType: Directory");
    EXPECT_EQ(RowDetailsText(MainMessages(), file("odd", "n/a", "", "x"), "/"), "Name: odd\nLocation: /\nType: File\nModified: x");
}

} // namespace
} // namespace brisk
