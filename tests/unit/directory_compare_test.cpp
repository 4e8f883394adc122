// "Compare Directories" on the rows as the panels show them: what counts as the same entry on both
// sides, the zone offsets in both directions, and the selections and counters it leaves.
#include "local/directory_compare.h"

#include "local/row_moment.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace brisk {
namespace {

// Rows from "name|size|date|time"; a name ending in '/' is a directory, ".." the row up.
void showRows(FilePanel& panel, std::initializer_list<std::string> texts)
{
    std::vector<PanelRow> rows;
    for (const std::string& text : texts) {
        std::istringstream in(text);
        PanelRow& row = rows.emplace_back();
        std::getline(in, row.caption, '|');
        std::getline(in, row.size, '|');
        std::getline(in, row.date, '|');
        std::getline(in, row.time);
        if (row.caption == "..")
            row.image = kImageUp;
        if (row.caption.ends_with('/')) {
            row.image = kImageDirectory;
            row.caption.pop_back();
        }
    }
    panel.setRows(rows);
}

std::vector<std::string> selectedCaptions(const FilePanel& panel)
{
    std::vector<std::string> names;
    for (size_t i : panel.selectedIndices())
        names.emplace_back(panel.rows().caption(i));
    return names;
}

// Each row starts selected, so that a match shows as a deselection.
TEST(CompareDirectories, SelectsBothRowsExactlyWhenTheyDiffer)
{
    const struct {
        const char* what;
        const char* local;
        const char* remote;
        int localZone;
        int serverZone;
        bool different;   // both rows end up selected; otherwise both deselected
    } cases[] = {
        {"same size, date and time", "a.txt|100|05.12.2026|12:00", "a.txt|100|05.12.2026|12:00", 0, 0, false},
        {"other time", "a.txt|100|05.12.2026|12:00", "a.txt|100|05.12.2026|12:01", 0, 0, true},
        {"other date", "a.txt|100|05.12.2026|12:00", "a.txt|100|04.12.2026|12:00", 0, 0, true},
        {"other size", "a.txt|100|05.12.2026|12:00", "a.txt|101|05.12.2026|12:00", 0, 0, true},
        {"sizes compared as text", "a.txt|0100|05.12.2026|12:00", "a.txt|100|05.12.2026|12:00", 0, 0, true},
        {"names differing in case only", "Readme.txt|1|05.12.2026|12:00", "README.TXT|1|05.12.2026|12:00", 0, 0, true},
        {"one side only", "local.txt|1|05.12.2026|12:00", "remote.txt|1|05.12.2026|12:00", 0, 0, true},
        {"dates that do not read, however alike", "a.txt|1|24-DEC-1999|12:00", "a.txt|1|24-DEC-1999|12:00", 0, 0, true},
        {"\"error\" as the date", "a.txt|1|error|", "a.txt|1|error|", 0, 0, true},
        {"an impossible date", "a.txt|1|31.02.2026|12:00", "a.txt|1|31.02.2026|12:00", 0, 0, true},
        {"a year instead of a time, even at midnight", "a.txt|1|05.12.2025|00:00", "a.txt|1|05.12.2025|", 0, 0, true},
        {"directories alike", "docs/||01.03.2026|08:15", "docs/||01.03.2026|08:15", 0, 0, false},
        {"directories of other times", "docs/||01.03.2026|08:15", "docs/||01.03.2026|08:16", 0, 0, true},
        {"a directory and a file", "docs/||01.03.2026|08:15", "docs|0|01.03.2026|08:15", 0, 0, true},
        {"server an hour ahead lists an hour later", "a|1|05.12.2026|12:00", "a|1|05.12.2026|13:00", 0, 1, false},
        {"server an hour ahead, same clock time", "a|1|05.12.2026|12:00", "a|1|05.12.2026|12:00", 0, 1, true},
        {"server an hour ahead, an hour earlier", "a|1|05.12.2026|12:00", "a|1|05.12.2026|11:00", 0, 1, true},
        {"server an hour behind lists an hour earlier", "a|1|05.12.2026|12:00", "a|1|05.12.2026|11:00", 0, -1, false},
        {"server an hour behind, an hour later", "a|1|05.12.2026|12:00", "a|1|05.12.2026|13:00", 0, -1, true},
        {"both zones away from UTC", "a|1|05.12.2026|12:00", "a|1|05.12.2026|09:00", 5, 2, false},
        {"across midnight and the year", "a|1|31.12.2025|23:30", "a|1|01.01.2026|00:30", 0, 1, false},
        {"zones do not touch a row without time", "a|1|05.12.2025|01:00", "a|1|05.12.2025|", 1, 0, true},
    };
    for (const auto& c : cases) {
        FilePanel local;
        FilePanel remote;
        showRows(local, {c.local});
        showRows(remote, {c.remote});
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
    showRows(local, {"same|10|05.12.2026|12:00", "new|30|05.12.2026|12:00", "old|5|05.12.2026|12:00", ".."});
    showRows(remote, {"same|10|05.12.2026|12:00", "old|7|01.12.2026|12:00", "other|100|05.12.2026|12:00", ".."});
    local.selectAll();
    CompareDirectories({local, 0}, {remote, 0}, DateOrder::DayFirst);
    EXPECT_EQ(selectedCaptions(local), (std::vector<std::string>{"new", "old"}));
    EXPECT_EQ(selectedCaptions(remote), (std::vector<std::string>{"old", "other"}));
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
    showRows(local, {"a|1|12.31.2025|10:20"});
    showRows(remote, {"a|1|12.31.2025|10:20AM"});
    CompareDirectories({local, 0}, {remote, 0}, DateOrder::MonthFirst);
    EXPECT_FALSE(local.isSelected(0));
    EXPECT_FALSE(remote.isSelected(0));
}

} // namespace
} // namespace brisk
