// "Compare Directories" on the rows as the panels show them: what counts as the same entry on both
// sides, the zone offsets in both directions, and the selections and counters it leaves.
#include "local/directory_compare.h"

#include "local/row_moment.h"

#include <gtest/gtest.h>

#include <string>

namespace brisk {
namespace {

PanelRow fileRow(std::string name, std::string size, std::string date, std::string time)
{
    return {kImageFile, std::move(name), std::move(size), std::move(date), std::move(time), "", ""};
}

PanelRow dirRow(std::string name, std::string date, std::string time)
{
    return {kImageDirectory, std::move(name), "", std::move(date), std::move(time), "", ""};
}

struct CompareCase {
    const char* what;
    PanelRow local;
    PanelRow remote;
    int localZone = 0;
    int serverZone = 0;
    bool different = true;   // both rows end up selected; otherwise both deselected
};

// Each row starts selected, so that a match shows as a deselection.
TEST(CompareDirectories, SelectsBothRowsExactlyWhenTheyDiffer)
{
    const CompareCase cases[] = {
        CompareCase{"same size, date and time", fileRow("a.txt", "100", "05.12.2026", "12:00"),
             fileRow("a.txt", "100", "05.12.2026", "12:00"), 0, 0, false},
        CompareCase{"other time", fileRow("a.txt", "100", "05.12.2026", "12:00"), fileRow("a.txt", "100", "05.12.2026", "12:01")},
        CompareCase{"other date", fileRow("a.txt", "100", "05.12.2026", "12:00"), fileRow("a.txt", "100", "04.12.2026", "12:00")},
        CompareCase{"other size", fileRow("a.txt", "100", "05.12.2026", "12:00"), fileRow("a.txt", "101", "05.12.2026", "12:00")},
        CompareCase{"sizes compared as text", fileRow("a.txt", "0100", "05.12.2026", "12:00"),
             fileRow("a.txt", "100", "05.12.2026", "12:00")},
        CompareCase{"names differing in case only", fileRow("Readme.txt", "1", "05.12.2026", "12:00"),
             fileRow("README.TXT", "1", "05.12.2026", "12:00")},
        CompareCase{"one side only", fileRow("local.txt", "1", "05.12.2026", "12:00"),
             fileRow("remote.txt", "1", "05.12.2026", "12:00")},
        CompareCase{"dates that do not read, however alike", fileRow("a.txt", "1", "24-DEC-1999", "12:00"),
             fileRow("a.txt", "1", "24-DEC-1999", "12:00")},
        CompareCase{"\"error\" as the date", fileRow("a.txt", "1", "error", ""), fileRow("a.txt", "1", "error", "")},
        CompareCase{"an impossible date", fileRow("a.txt", "1", "31.02.2026", "12:00"),
             fileRow("a.txt", "1", "31.02.2026", "12:00")},
        CompareCase{"a year instead of a time, even at midnight", fileRow("a.txt", "1", "05.12.2025", "00:00"),
             fileRow("a.txt", "1", "05.12.2025", "")},
        CompareCase{"directories alike", dirRow("docs", "01.03.2026", "08:15"), dirRow("docs", "01.03.2026", "08:15"),
             0, 0, false},
        CompareCase{"directories of other times", dirRow("docs", "01.03.2026", "08:15"),
             dirRow("docs", "01.03.2026", "08:16")},
        CompareCase{"a directory and a file", dirRow("docs", "01.03.2026", "08:15"),
             fileRow("docs", "0", "01.03.2026", "08:15")},
        CompareCase{"server an hour ahead lists an hour later", fileRow("a", "1", "05.12.2026", "12:00"),
             fileRow("a", "1", "05.12.2026", "13:00"), 0, 1, false},
        CompareCase{"server an hour ahead, same clock time", fileRow("a", "1", "05.12.2026", "12:00"),
             fileRow("a", "1", "05.12.2026", "12:00"), 0, 1},
        CompareCase{"server an hour ahead, an hour earlier", fileRow("a", "1", "05.12.2026", "12:00"),
             fileRow("a", "1", "05.12.2026", "11:00"), 0, 1},
        CompareCase{"server an hour behind lists an hour earlier", fileRow("a", "1", "05.12.2026", "12:00"),
             fileRow("a", "1", "05.12.2026", "11:00"), 0, -1, false},
        CompareCase{"server an hour behind, an hour later", fileRow("a", "1", "05.12.2026", "12:00"),
             fileRow("a", "1", "05.12.2026", "13:00"), 0, -1},
        CompareCase{"both zones away from UTC", fileRow("a", "1", "05.12.2026", "12:00"), fileRow("a", "1", "05.12.2026", "09:00"),
             5, 2, false},
        CompareCase{"across midnight and the year", fileRow("a", "1", "31.12.2025", "23:30"),
             fileRow("a", "1", "01.01.2026", "00:30"), 0, 1, false},
        CompareCase{"zones do not touch a row without time", fileRow("a", "1", "05.12.2025", "01:00"),
             fileRow("a", "1", "05.12.2025", ""), 1, 0}};
    for (const CompareCase& c : cases) {
        FilePanel local;
        FilePanel remote;
        local.setRows({c.local});
        remote.setRows({c.remote});
        local.selectAll();
        remote.selectAll();
        CompareDirectories({local, c.localZone}, {remote, c.serverZone}, DateOrder::DayFirst);
        EXPECT_EQ(local.isSelected(0), c.different) << c.what;
        EXPECT_EQ(remote.isSelected(0), c.different) << c.what;
    }
}

TEST(CompareDirectories, UpRowsStayUnselectedAndCountersFollow)
{
    FilePanel local;
    FilePanel remote;
    local.setRows({fileRow("same", "10", "05.12.2026", "12:00"), fileRow("new", "30", "05.12.2026", "12:00"),
                   fileRow("old", "5", "05.12.2026", "12:00"), PanelRow{kImageUp, "..", "", "", "", "", ""}});
    remote.setRows({fileRow("same", "10", "05.12.2026", "12:00"), fileRow("old", "7", "01.12.2026", "12:00"),
                    fileRow("other", "100", "05.12.2026", "12:00"), PanelRow{kImageUp, "..", "", "", "", "", ""}});
    local.selectAll();
    CompareDirectories({local, 0}, {remote, 0}, DateOrder::DayFirst);

    auto selected = [](const FilePanel& panel) {
        std::vector<std::string> names;
        for (size_t i : panel.selectedIndices())
            names.emplace_back(panel.rows().caption(i));
        return names;
    };
    EXPECT_EQ(selected(local), (std::vector<std::string>{"new", "old"}));
    EXPECT_EQ(selected(remote), (std::vector<std::string>{"old", "other"}));
    EXPECT_EQ(local.selectedCount(), 2);
    EXPECT_EQ(local.selectedTotal(), 35);
    EXPECT_EQ(remote.selectedCount(), 2);
    EXPECT_EQ(remote.selectedTotal(), 107);
}

TEST(CompareDirectories, ReadsDatesInTheDisplayOrder)
{
    EXPECT_EQ(ReadDisplayDate("03.12.2026", DateOrder::DayFirst), (CalendarDate{2026, 12, 3}));
    EXPECT_EQ(ReadDisplayDate("03.12.2026", DateOrder::MonthFirst), (CalendarDate{2026, 3, 12}));
    EXPECT_EQ(ReadDisplayDate("12.31.2026", DateOrder::DayFirst), std::nullopt);
    for (const char* unreadable : {"", "3.12.2026", "03.12.26", "03-12-2026", "ab.cd.efgh", "Dec 3"})
        EXPECT_EQ(ReadDisplayDate(unreadable, DateOrder::DayFirst), std::nullopt) << unreadable;

    FilePanel local;
    FilePanel remote;
    local.setRows({fileRow("a", "1", "12.31.2025", "10:20")});
    remote.setRows({fileRow("a", "1", "12.31.2025", "10:20AM")});
    CompareDirectories({local, 0}, {remote, 0}, DateOrder::MonthFirst);
    EXPECT_FALSE(local.isSelected(0));
    EXPECT_FALSE(remote.isSelected(0));
}

} // namespace
} // namespace brisk
