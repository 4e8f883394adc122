#include "listing/file_panel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace brisk {
namespace {

PanelRow row(int image, std::string name, std::string size = "", std::string date = "", std::string time = "",
             std::string attributes = "")
{
    PanelRow result;
    result.image = image;
    result.caption = std::move(name);
    result.size = std::move(size);
    result.date = std::move(date);
    result.time = std::move(time);
    result.attributes = std::move(attributes);
    return result;
}

PanelRow file(std::string name, std::string size) { return row(kImageFile, std::move(name), std::move(size)); }
PanelRow dir(std::string name) { return row(kImageDirectory, std::move(name)); }

std::vector<std::string> captions(const FilePanel& panel)
{
    std::vector<std::string> result;
    for (const PanelRow& r : panel.rows())
        result.push_back(r.caption);
    return result;
}

size_t indexOf(const FilePanel& panel, const std::string& caption)
{
    for (size_t i = 0; i < panel.size(); ++i)
        if (panel.rows()[i].caption == caption)
            return i;
    ADD_FAILURE() << "no row " << caption;
    return 0;
}

// Each file is smallest, oldest, earliest and first in exactly one column, so every column
// gives its own order; the directories differ in every column too.
std::vector<PanelRow> mixedRows()
{
    return {
        row(kImageFile, "b.txt", "300", "01.02.2024", "09:00", "-rw-r--r--"),
        row(kImageDirectory, "zdir", "", "05.05.2020", "23:00", "drwx------"),
        row(kImageFile, "c.txt", "20", "15.01.2025", "08:00", "-rwxr-xr-x"),
        row(kImageDirectory, "adir", "", "06.05.2020", "01:00", "drwxr-xr-x"),
        row(kImageFile, "A.txt", "1000", "31.12.2023", "10:30", "-r--------"),
    };
}

struct ColumnOrder {
    int tag;
    std::vector<std::string> firstClick;   // sort state -tag (0 for the Links column)
    std::vector<std::string> secondClick;  // sort state +tag
};

class FilePanelSorting : public ::testing::TestWithParam<ColumnOrder> {};

TEST_P(FilePanelSorting, DirectoriesStayFirstInBothDirections)
{
    const ColumnOrder& column = GetParam();
    FilePanel panel;
    panel.setRows(mixedRows());
    panel.clickColumn(column.tag);
    EXPECT_EQ(captions(panel), column.firstClick) << "state " << panel.sortState();
    panel.clickColumn(column.tag);
    EXPECT_EQ(captions(panel), column.secondClick) << "state " << panel.sortState();
}

// Rows that compare equal keep their previous order, here the initial order by name.
INSTANTIATE_TEST_SUITE_P(
    EachColumn, FilePanelSorting,
    ::testing::Values(ColumnOrder {kSortName, {"zdir", "adir", "c.txt", "b.txt", "A.txt"},
                                   {"adir", "zdir", "A.txt", "b.txt", "c.txt"}},
                      // The first click on Size shows the smallest first.
                      ColumnOrder {kSortSize, {"adir", "zdir", "c.txt", "b.txt", "A.txt"},
                                   {"adir", "zdir", "A.txt", "b.txt", "c.txt"}},
                      ColumnOrder {kSortDate, {"adir", "zdir", "c.txt", "b.txt", "A.txt"},
                                   {"zdir", "adir", "A.txt", "b.txt", "c.txt"}},
                      ColumnOrder {kSortTime, {"zdir", "adir", "A.txt", "b.txt", "c.txt"},
                                   {"adir", "zdir", "c.txt", "b.txt", "A.txt"}},
                      ColumnOrder {kSortAttributes, {"adir", "zdir", "c.txt", "b.txt", "A.txt"},
                                   {"zdir", "adir", "A.txt", "b.txt", "c.txt"}},
                      ColumnOrder {kSortLinks, {"adir", "zdir", "A.txt", "b.txt", "c.txt"},
                                   {"adir", "zdir", "A.txt", "b.txt", "c.txt"}}));

TEST(FilePanelSortingDetail, MonthFirstDatesSortByYearMonthDay)
{
    FilePanel panel;
    panel.setDateOrder(DateOrder::MonthFirst);
    panel.setRows({row(kImageFile, "may", "", "05.01.2024"), row(kImageFile, "jan", "", "01.31.2024"),
                   row(kImageFile, "old", "", "12.31.2023")});
    panel.clickColumn(kSortDate);
    EXPECT_EQ(captions(panel), (std::vector<std::string> {"may", "jan", "old"}));
}

// Many rows equal in the sorted column: each sort state gives the order a stable sort by
// ComparePanelRows gives, so rows that tie keep the order they had before the click.
TEST(FilePanelSortingDetail, TiesKeepTheirOrderInEveryState)
{
    std::vector<PanelRow> rows;
    for (int i = 0; i < 300; ++i)
        rows.push_back(row(i % 7 == 0 ? kImageDirectory : kImageFile, i % 5 == 0 ? "Same" : "n" + std::to_string(i % 11),
                           std::to_string(i % 3), "0" + std::to_string(1 + i % 4) + ".01.2020",
                           i % 2 ? "10:00" : "", i % 2 ? "-rw-r--r--" : "drwx"));
    for (int state = -5; state <= 5; ++state) {
        FilePanel panel;
        panel.setRows(rows);
        std::vector<PanelRow> before(panel.rows().begin(), panel.rows().end());
        while (panel.sortState() != state) {
            before.assign(panel.rows().begin(), panel.rows().end());
            panel.clickColumn(state < 0 ? -state : state);
        }
        std::vector<size_t> order(rows.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return ComparePanelRows(before[a], before[b], state, DateOrder::DayFirst) < 0;
        });
        for (size_t i = 0; i < order.size(); ++i) {
            const PanelRow shown = panel.rows()[i];
            const PanelRow& expected = before[order[i]];
            ASSERT_TRUE(shown.caption == expected.caption && shown.size == expected.size &&
                        shown.date == expected.date && shown.time == expected.time)
                << "state " << state << " row " << i;
        }
    }
}

TEST(FilePanelColumnClick, AnotherColumnReversesTheSameColumnFlips)
{
    struct Step {
        int tag;
        int state;
    };
    const std::vector<Step> steps = {{kSortName, -1}, {kSortName, 1},  {kSortName, -1}, {kSortSize, -2},
                                     {kSortSize, 2},  {kSortDate, -3}, {kSortTime, -4}, {kSortTime, 4},
                                     {kSortAttributes, -5}, {kSortLinks, 0}, {kSortLinks, 0}, {kSortDate, -3}};
    FilePanel panel;
    EXPECT_EQ(panel.sortState(), 0);
    for (const Step& step : steps) {
        panel.clickColumn(step.tag);
        EXPECT_EQ(panel.sortState(), step.state) << "after clicking " << step.tag;
    }
    EXPECT_THROW(panel.clickColumn(-1), std::invalid_argument);
    EXPECT_EQ(panel.sortState(), -3);
}

TEST(FilePanelSelection, SelectionFollowsRowsThroughSortingAndRenaming)
{
    FilePanel panel;
    panel.setRows({file("a", "1"), file("b", "2"), file("c", "3")});
    panel.setSelected(indexOf(panel, "a"), true);
    panel.clickColumn(kSortName);
    EXPECT_EQ(captions(panel), (std::vector<std::string> {"c", "b", "a"}));
    EXPECT_TRUE(panel.isSelected(2));
    EXPECT_EQ(panel.selectedIndices(), (std::vector<size_t> {2}));

    const size_t moved = panel.setCaption(2, "z");
    EXPECT_EQ(moved, 0u);
    EXPECT_EQ(panel.rows()[0].caption, "z");
    EXPECT_TRUE(panel.isSelected(0));
    EXPECT_EQ(panel.selectedIndex(), 0);
}

TEST(FilePanelSelection, OnlyFilesCountOddSizesCountZeroAndSizesAreSixtyFourBit)
{
    FilePanel panel;
    panel.setRows({file("plain", "1000"), file("text", "n/a"), file("negative", "-50"), dir("sub"),
                   row(kImageUp, ".."), file("big", "5368709120"), file("big2", "5368709120")});
    panel.selectAll();
    EXPECT_EQ(panel.selectedIndices().size(), 7u);
    EXPECT_EQ(panel.selectedCount(), 5);
    EXPECT_EQ(panel.selectedTotal(), 10737419240) << "sizes are 64-bit";
}

// Selecting twice counts once; new rows come unselected but the counters stay until reset; and no
// deselection, of a row selected before the reset or of one already deselected, takes them below zero.
TEST(FilePanelSelection, CountersFollowTheSelectionUntilResetAndNeverGoNegative)
{
    FilePanel panel;
    panel.setRows({file("a", "1000"), file("b", "3000")});
    panel.setSelected(0, true);
    panel.setSelected(0, true);
    EXPECT_EQ(panel.selectedCount(), 1);
    EXPECT_EQ(panel.selectedTotal(), 1000);
    panel.setRows({file("b", "5"), file("c", "6")});
    EXPECT_EQ(panel.selectedIndex(), -1);
    EXPECT_TRUE(panel.selectedIndices().empty());
    EXPECT_EQ(panel.selectedCount(), 1);
    EXPECT_EQ(panel.selectedTotal(), 1000);
    panel.resetStatus();
    EXPECT_EQ(panel.selectedCount(), 0);
    EXPECT_EQ(panel.selectedTotal(), 0);
    panel.setSelected(0, true);
    panel.resetStatus();
    panel.setSelected(0, false);
    EXPECT_EQ(panel.selectedCount(), 0);
    EXPECT_EQ(panel.selectedTotal(), 0);
    panel.setSelected(1, true);
    panel.setSelected(1, false);
    panel.setSelected(1, false);
    EXPECT_EQ(panel.selectedCount(), 0);
    EXPECT_EQ(panel.selectedTotal(), 0);
}

TEST(FilePanelSelection, InvertAndMaskSelection)
{
    FilePanel panel;
    panel.setRows({file("a.txt", "1"), file("b.doc", "2"), dir("docs.txt"), file("c.TXT", "4")});
    panel.selectMatching("*.txt", true);
    EXPECT_EQ(panel.selectedIndices(), (std::vector<size_t> {0, 1, 3}));  // docs.txt, a.txt, c.TXT
    EXPECT_EQ(panel.selectedTotal(), 5);
    panel.invertSelection();
    EXPECT_EQ(panel.selectedIndices(), (std::vector<size_t> {2}));
    EXPECT_EQ(panel.selectedTotal(), 2);
    panel.selectAll();
    panel.selectMatching("a.*,b.*", false);
    EXPECT_EQ(panel.selectedIndices(), (std::vector<size_t> {0, 3}));
    panel.unselectAll();
    EXPECT_EQ(panel.selectedIndex(), -1);
    EXPECT_EQ(panel.selectedCount(), 0);
}

TEST(FilePanelSelection, LoopsStopWhenStopIsPressed)
{
    FilePanel panel;
    panel.setRows({file("a", "1"), file("b", "2"), file("c", "3"), file("d", "4")});
    int asked = 0;
    panel.stopRequested = [&] { return ++asked > 2; };
    panel.selectAll();
    EXPECT_EQ(panel.selectedIndices(), (std::vector<size_t> {0, 1}));
}

TEST(FilePanelSelection, StatusLineFollowsSelection)
{
    FilePanel panel;
    panel.setRows({file("a", "1000"), file("b", "3000"), dir("d")});
    const auto status = [&] {
        return SelectionStatusText(panel.selectedTotal(), panel.selectedCount(), "byte", "in", "file(s)");
    };
    panel.setSelected(indexOf(panel, "a"), true);
    panel.setSelected(indexOf(panel, "b"), true);
    panel.setSelected(indexOf(panel, "d"), true);
    EXPECT_EQ(status(), "4000 byte (3.91 Kb) in 2 file(s)");
    panel.setSelected(indexOf(panel, "a"), false);
    panel.setSelected(indexOf(panel, "b"), false);
    EXPECT_EQ(status(), "");
}

TEST(SelectionStatusText, FormatsTotalKilobytesAndCount)
{
    struct Case {
        int64_t total;
        int64_t count;
        const char* text;
    };
    const Case cases[] = {
        {1536, 1, "1536 byte (1.50 Kb) in 1 file(s)"},
        {4000, 2, "4000 byte (3.91 Kb) in 2 file(s)"},
        {2048, 2, "2048 byte (2.00 Kb) in 2 file(s)"},
        {0, 3, "0 byte (0.00 Kb) in 3 file(s)"},
        {5368709120, 1, "5368709120 byte (5242880.00 Kb) in 1 file(s)"},
        {123456, 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SelectionStatusText(c.total, c.count, "byte", "in", "file(s)"), c.text) << c.total;
    EXPECT_EQ(SelectionStatusText(10, 1, "Byte", "in", "Datei(en)"), "10 Byte (0.01 Kb) in 1 Datei(en)");
}

TEST(ChangeNameCase, ModesChangeOnlyAsciiLetters)
{
    struct Case {
        const char* name;
        int mode;
        const char* changed;
    };
    const Case cases[] = {
        {"README.TXT", 2, "Readme.txt"},
        {"readme.txt", 0, "README.TXT"},
        {"MiXeD_1-2.Doc", 1, "mixed_1-2.doc"},
        {"\xC3\xA4rger.TXT", 0, "\xC3\xA4RGER.TXT"},  // UTF-8 bytes pass through
        {"\xC3\x84RGER.TXT", 1, "\xC3\x84rger.txt"},
        {"\xC3\x84RGER", 2, "\xC3\x84rger"},            // a non-ASCII first letter stays as it is
        {"9LIVES", 2, "9lives"},
        {"", 2, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChangeNameCase(c.name, c.mode), c.changed) << c.name << " mode " << c.mode;
    EXPECT_THROW(ChangeNameCase("a", 3), std::invalid_argument);
    EXPECT_THROW(ChangeNameCase("a", -1), std::invalid_argument);
}

} // namespace
} // namespace brisk
