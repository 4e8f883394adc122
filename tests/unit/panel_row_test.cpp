#include "listing/panel_row.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
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

} // namespace
} // namespace brisk
