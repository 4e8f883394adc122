#include "listing/file_panel.h"
#include "listing/panel_sort_key.h"
#include "listing/row_details.h"
#include "listing/selection_commands.h"
#include "listing/time_of_day.h"

#include "scripted_user_interface.h"

#include <gtest/gtest.h>

#include <climits>

namespace brisk::file_panel_test {

using namespace std::string_literals;
using Strings = std::vector<std::string>;
using Indices = std::vector<size_t>;

PanelRow row(int image, std::string caption, std::string size = "", std::string date = "", std::string time = "",
             std::string attributes = "")
{
    return {image, std::move(caption), std::move(size), std::move(date), std::move(time), std::move(attributes), ""};
}
PanelRow file(std::string name, std::string size, std::string date = "", std::string time = "")
{
    return row(kImageFile, std::move(name), std::move(size), std::move(date), std::move(time));
}
PanelRow dir(std::string name) { return row(kImageDirectory, std::move(name)); }

template <typename Rows>
Strings captions(const Rows& rows)
{
    Strings result;
    for (const PanelRow& r : rows)
        result.push_back(r.caption);
    return result;
}
Strings captions(const FilePanel& panel) { return captions(panel.rows()); }

std::vector<PanelRow> sorted(std::vector<PanelRow> rows, int state, DateOrder order = DateOrder::DayFirst)
{
    std::stable_sort(rows.begin(), rows.end(),
                     [&](const PanelRow& a, const PanelRow& b) { return ComparePanelRows(a, b, state, order) < 0; });
    return rows;
}

// Each file is smallest, oldest, earliest and first in exactly one column of `mixed`, so every column
// gives its own order; directories come first in both directions. Rows of one day go by time of day, not
// by time text ("9:05" before "10:00", "11:00AM" before "03:47PM"); a dated row without a time comes first
// in its day. Sizes are 64-bit; a size that is no number is 0.
TEST(ComparePanelRows, OrdersOfEachColumnInBothDirections)
{
    const std::vector<PanelRow> mixed = {
        row(kImageFile, "A.txt", "1000", "31.12.2023", "10:30", "-r--------"),
        row(kImageDirectory, "adir", "", "06.05.2020", "01:00", "drwxr-xr-x"),
        row(kImageFile, "b.txt", "300", "01.02.2024", "09:00", "-rw-r--r--"),
        row(kImageFile, "c.txt", "20", "15.01.2025", "08:00", "-rwxr-xr-x"),
        row(kImageDirectory, "zdir", "", "05.05.2020", "23:00", "drwx------"),
    };
    const std::vector<PanelRow> sizes = {file("less", "4999999999"), file("more", "5000000000"), dir("d"),
                                         file("small", "2"), file("odd", "n/a"), row(kImageUp, "..")};
    const std::vector<PanelRow> day = {
        file("pm", "", "01.01.2026", "03:47PM"), file("ten", "", "01.01.2026", "10:00"),
        file("late", "", "01.01.2026", "23:59:30"), file("none", "", "01.01.2026", ""),
        file("nine", "", "01.01.2026", "9:05"), file("am", "", "01.01.2026", "11:00AM"), file("eve", "", "31.12.2025", "23:59")};
    const std::vector<PanelRow> monthFirst = {file("b", "", "02.01.2026", "08:00"), file("a", "", "01.02.2026", "07:00"),
                                              file("c", "", "02.01.2026", "07:00"), file("old", "", "12.31.1999")};
    constexpr DateOrder D = DateOrder::DayFirst, M = DateOrder::MonthFirst;
    const struct {
        int state;
        DateOrder order;
        const std::vector<PanelRow>& rows;
        Strings sorted;
    } cases[] = {
        {-kSortName, D, mixed, {"zdir", "adir", "c.txt", "b.txt", "A.txt"}},
        {kSortName, D, mixed, {"adir", "zdir", "A.txt", "b.txt", "c.txt"}},
        {-kSortSize, D, mixed, {"adir", "zdir", "c.txt", "b.txt", "A.txt"}},
        {kSortSize, D, mixed, {"adir", "zdir", "A.txt", "b.txt", "c.txt"}},
        {-kSortDate, D, mixed, {"adir", "zdir", "c.txt", "b.txt", "A.txt"}},
        {kSortDate, D, mixed, {"zdir", "adir", "A.txt", "b.txt", "c.txt"}},
        {-kSortTime, D, mixed, {"zdir", "adir", "A.txt", "b.txt", "c.txt"}},
        {kSortTime, D, mixed, {"adir", "zdir", "c.txt", "b.txt", "A.txt"}},
        {-kSortAttributes, D, mixed, {"adir", "zdir", "c.txt", "b.txt", "A.txt"}},
        {kSortAttributes, D, mixed, {"zdir", "adir", "A.txt", "b.txt", "c.txt"}},
        {kSortLinks, D, mixed, {"adir", "zdir", "A.txt", "b.txt", "c.txt"}},
        {-kSortSize, D, sizes, {"..", "d", "odd", "small", "less", "more"}},
        {kSortSize, D, sizes, {"..", "d", "more", "less", "small", "odd"}},
        {kSortDate, D, day, {"eve", "none", "nine", "ten", "am", "pm", "late"}},
        {-kSortDate, D, day, {"late", "pm", "am", "ten", "nine", "none", "eve"}},
        {kSortDate, M, monthFirst, {"old", "a", "c", "b"}},
        {-kSortDate, M, monthFirst, {"b", "c", "a", "old"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(captions(sorted(c.rows, c.state, c.order)), c.sorted) << c.state;
    EXPECT_NE(ComparePanelRows(file("a", ""), file("b", ""), INT_MIN, D), 0);
}

// Names compare as upper-cased bytes: within the first eight (kept as a number per row for speed),
// beyond them, and where one is the other plus a NUL.
TEST(ComparePanelRows, NamesCompareByteByByteIgnoringCaseWithinAndBeyondEightBytes)
{
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

// The arrow shows how the values run down the list: sizes sort biggest first in the plain direction.
TEST(SortIndicatorOf, ColumnAndDirectionOfEachState)
{
    const std::tuple<int, int, bool> cases[] = {{0, 0, true}, {-1, 0, false}, {1, 0, true},  {2, 1, false},
                                                {-2, 1, true}, {3, 2, true},  {-3, 2, false}, {-4, 3, false},
                                                {5, 4, true},  {-5, 4, false}};
    for (const auto& [state, column, ascending] : cases)
        EXPECT_EQ(std::pair(SortIndicatorOf(state).column, SortIndicatorOf(state).ascending), std::pair(column, ascending))
            << state;
}

TEST(RowDetailsText, ExactFiguresAndOnlyThoseTheRowHas)
{
    const PanelRow link{kImageFile, "www", "9223372036854775807", "01.01.1970", "10:20", "lrwxrwxrwx", "../public_html"};
    EXPECT_EQ(RowDetailsText(MainMessages(), link, "/home/u"), "Name: www\nLocation: /home/u\nType: Symbolic link\n"
                                                "Size: 9223372036854775807 bytes\nModified: 01.01.1970 10:20\n"
                                                "Attributes: lrwxrwxrwx\nLink to: ../public_html");
    EXPECT_EQ(RowDetailsText(MainMessages(), dir("d"), "/"), "Name: d\nLocation: /\nType: Directory");
    EXPECT_EQ(RowDetailsText(MainMessages(), file("odd", "n/a", "", "x"), "/"), "Name: odd\nLocation: /\nType: File\nModified: x");
}

TEST(PanelRows, RenameAndReorderKeepEveryOtherField)
{
    const auto text = [](const PanelRow& r) {
        return std::to_string(r.image) + "|" + r.caption + "|" + r.size + "|" + r.date + "|" + r.time + "|" +
               r.attributes + "|" + r.link;
    };
    const PanelRow up{kImageUp, "..", "", "01.02.2026", "10:00", "rw\0x"s, "l\xA6"},
        sub{kImageDirectory, "d\0ir"s, "", "01.02.2026", "10:00", "rw\0x"s, "l\xA6"},
        big{kImageFile, "f", "5000000000", "01.02.2026", "10:00", "rw\0x"s, "l\xA6"};
    PanelRows rows({up, sub, big});
    rows.setCaption(2, std::string(100000, 'n'));
    rows.reorder({2, 0, 1});
    PanelRow renamed = big;
    renamed.caption = std::string(100000, 'n');
    const PanelRow want[] = {renamed, up, sub};
    ASSERT_EQ(rows.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(text(rows.at(i)) + "|" + std::to_string(rows.image(i)) + "|" + std::string(rows.caption(i)),
                  text(want[i]) + "|" + std::to_string(want[i].image) + "|" + want[i].caption);
    EXPECT_THROW(rows.at(3), std::out_of_range);
}

// The panel keeps its rows in the order of its sort state (see the ties test below) and of its date order.
TEST(FilePanel, SortsByItsDateOrder)
{
    FilePanel monthFirst;
    monthFirst.setDateOrder(DateOrder::MonthFirst);
    monthFirst.setRows({file("may", "", "05.01.2024"), file("jan", "", "01.31.2024"), file("old", "", "12.31.2023")});
    monthFirst.clickColumn(kSortDate);
    EXPECT_EQ(captions(monthFirst), (Strings{"may", "jan", "old"}));
}

template <typename Rows>
Strings keys(const Rows& rows)
{
    Strings out;
    for (const PanelRow& r : rows)
        out.push_back(r.caption + "|" + r.size + "|" + r.date + "|" + r.time);
    return out;
}

// Many rows equal in the sorted column: each sort state gives the order a stable sort by
// ComparePanelRows gives, so rows that tie keep the order they had before the click.
TEST(FilePanel, TiesKeepTheirOrderInEveryState)
{
    std::vector<PanelRow> rows;
    for (int i = 0; i < 300; ++i)
        rows.push_back(row(i % 7 == 0 ? kImageDirectory : kImageFile, i % 5 == 0 ? "Same" : "n" + std::to_string(i % 11),
                           std::to_string(i % 3), "0" + std::to_string(1 + i % 4) + ".01.2020", i % 2 ? "10:00" : "",
                           i % 2 ? "-rw-r--r--" : "drwx"));
    for (int state = -5; state <= 5; ++state) {
        FilePanel panel;
        panel.setRows(rows);
        std::vector<PanelRow> before(panel.rows().begin(), panel.rows().end());
        while (panel.sortState() != state) {
            before.assign(panel.rows().begin(), panel.rows().end());
            panel.clickColumn(state < 0 ? -state : state);
        }
        EXPECT_EQ(keys(panel.rows()), keys(sorted(before, state))) << "state " << state;
    }
}

TEST(FilePanel, AnotherColumnReversesTheSameColumnFlips)
{
    const std::pair<int, int> steps[] = {{kSortName, -1}, {kSortName, 1},  {kSortName, -1}, {kSortSize, -2},
                                         {kSortSize, 2},  {kSortDate, -3}, {kSortTime, -4}, {kSortTime, 4},
                                         {kSortAttributes, -5}, {kSortLinks, 0}, {kSortLinks, 0}, {kSortDate, -3}};
    FilePanel panel;
    EXPECT_EQ(panel.sortState(), 0);
    for (const auto& [tag, state] : steps) {
        panel.clickColumn(tag);
        EXPECT_EQ(panel.sortState(), state) << "after clicking " << tag;
    }
    EXPECT_THROW(panel.clickColumn(-1), std::invalid_argument);
    EXPECT_EQ(panel.sortState(), -3);
}

TEST(FilePanel, SelectionFollowsRowsThroughSortingAndRenaming)
{
    FilePanel panel;
    panel.setRows({file("a", "1"), file("b", "2"), file("c", "3")});
    panel.setSelected(0, true);
    panel.clickColumn(kSortName);
    EXPECT_EQ(captions(panel), (Strings{"c", "b", "a"}));
    EXPECT_EQ(panel.selectedIndices(), (Indices{2}));

    EXPECT_EQ(panel.setCaption(2, "z"), 0u);
    EXPECT_EQ(panel.rows()[0].caption, "z");
    EXPECT_TRUE(panel.isSelected(0));
    EXPECT_EQ(panel.selectedIndex(), 0);
}

TEST(FilePanel, OnlyFilesCountOddSizesCountZeroAndSizesAreSixtyFourBit)
{
    FilePanel panel;
    panel.setRows({file("plain", "1000"), file("text", "n/a"), file("negative", "-50"), dir("sub"),
                   row(kImageUp, ".."), file("big", "5368709120"), file("big2", "5368709120")});
    panel.selectAll();
    EXPECT_EQ(panel.selectedIndices().size(), 7u);
    EXPECT_EQ(panel.selectedCount(), 5);
    EXPECT_EQ(panel.selectedTotal(), 10737419240);
}

// Selecting twice counts once; new rows come unselected but the counters stay until reset; and no
// deselection, of a row selected before the reset or of one already deselected, takes them below zero.
TEST(FilePanel, CountersFollowTheSelectionUntilResetAndNeverGoNegative)
{
    FilePanel panel;
    const auto counters = [&] { return std::pair{panel.selectedCount(), panel.selectedTotal()}; };
    panel.setRows({file("a", "1000"), file("b", "3000")});
    panel.setSelected(0, true);
    panel.setSelected(0, true);
    EXPECT_EQ(counters(), (std::pair<int64_t, int64_t>{1, 1000}));
    panel.setRows({file("b", "5"), file("c", "6")});
    EXPECT_EQ(panel.selectedIndex(), -1);
    EXPECT_EQ(counters(), (std::pair<int64_t, int64_t>{1, 1000}));
    panel.resetStatus();
    EXPECT_EQ(counters(), (std::pair<int64_t, int64_t>{0, 0}));
    panel.setSelected(0, true);
    panel.resetStatus();
    panel.setSelected(0, false);
    panel.setSelected(1, true);
    panel.setSelected(1, false);
    panel.setSelected(1, false);
    EXPECT_EQ(counters(), (std::pair<int64_t, int64_t>{0, 0}));
}

TEST(FilePanel, InvertMaskSelectionAndStop)
{
    FilePanel panel;
    panel.setRows({file("a.txt", "1"), file("b.doc", "2"), dir("docs.txt"), file("c.TXT", "4")});
    panel.selectMatching("*.txt", true);
    EXPECT_EQ(panel.selectedIndices(), (Indices{0, 1, 3}));  // docs.txt, a.txt, c.TXT
    EXPECT_EQ(panel.selectedTotal(), 5);
    panel.invertSelection();
    EXPECT_EQ(panel.selectedIndices(), (Indices{2}));
    EXPECT_EQ(panel.selectedTotal(), 2);
    panel.selectAll();
    panel.selectMatching("a.*,b.*", false);
    EXPECT_EQ(panel.selectedIndices(), (Indices{0, 3}));
    panel.unselectAll();
    EXPECT_EQ(panel.selectedIndex(), -1);
    EXPECT_EQ(panel.selectedCount(), 0);

    int asked = 0;
    panel.stopRequested = [&] { return ++asked > 2; };
    panel.selectAll();
    EXPECT_EQ(panel.selectedIndices(), (Indices{0, 1}));
}

TEST(SelectionStatusText, FormatsTotalKilobytesAndCount)
{
    const std::tuple<int64_t, int64_t, const char*> cases[] = {
        {1536, 1, "1536 byte (1.50 Kb) in 1 file(s)"}, {4000, 2, "4000 byte (3.91 Kb) in 2 file(s)"},
        {2048, 2, "2048 byte (2.00 Kb) in 2 file(s)"}, {0, 3, "0 byte (0.00 Kb) in 3 file(s)"},
        {5368709120, 1, "5368709120 byte (5242880.00 Kb) in 1 file(s)"}, {123456, 0, ""},
    };
    for (const auto& [total, count, text] : cases)
        EXPECT_EQ(SelectionStatusText(total, count, "byte", "in", "file(s)"), text) << total;
    EXPECT_EQ(SelectionStatusText(10, 1, "Byte", "in", "Datei(en)"), "10 Byte (0.01 Kb) in 1 Datei(en)");
}

// Modes 0 upper, 1 lower, 2 first letter upper; UTF-8 bytes pass through.
TEST(ChangeNameCase, ModesChangeOnlyAsciiLetters)
{
    const std::tuple<const char*, int, const char*> cases[] = {
        {"README.TXT", 2, "Readme.txt"}, {"readme.txt", 0, "README.TXT"}, {"MiXeD_1-2.Doc", 1, "mixed_1-2.doc"},
        {"\xC3\xA4rger.TXT", 0, "\xC3\xA4RGER.TXT"}, {"\xC3\x84RGER.TXT", 1, "\xC3\x84rger.txt"},
        {"\xC3\x84RGER", 2, "\xC3\x84rger"}, {"9LIVES", 2, "9lives"}, {"", 2, ""},
    };
    for (const auto& [name, mode, changed] : cases)
        EXPECT_EQ(ChangeNameCase(name, mode), changed) << name << " mode " << mode;
    EXPECT_THROW(ChangeNameCase("a", 3), std::invalid_argument);
    EXPECT_THROW(ChangeNameCase("a", -1), std::invalid_argument);
}

class SelectionCommands : public ::testing::Test {
protected:
    // Sorted: the directory "notes.txt" first, then a.txt, b.doc, c.TXT.
    SelectionCommands()
    {
        panel.setRows({file("a.txt", "100"), file("b.doc", "200"), dir("notes.txt"), file("c.TXT", "400")});
    }
    void run(int tag, MainMessage word = msgLocal) { RunSelectionCommand(tag, panel, ui, messages, word, mask); }
    std::string lastPrompt() const
    {
        const PromptRequest& p = ui.prompts.at(ui.prompts.size() - 1);
        return p.title + "|" + p.label + "|" + p.text + "|" + std::to_string(p.maxLength) + (p.masked ? "|masked" : "");
    }

    FilePanel panel;
    test::ScriptedUserInterface ui;
    MainMessages messages;
    std::string mask = "*.*";
};

TEST_F(SelectionCommands, SelectAllAndInvertNeedNoPromptOnEitherPanel)
{
    run(1);
    EXPECT_EQ(panel.selectedIndices().size(), 4u);
    panel.setSelected(1, false);
    run(-4, msgFtp);
    EXPECT_EQ(panel.selectedIndices(), (Indices{1}));
    run(4);
    EXPECT_EQ(panel.selectedIndices(), (Indices{0, 2, 3}));
    run(-1, msgFtp);
    EXPECT_EQ(panel.selectedIndices().size(), 4u);
    EXPECT_TRUE(ui.prompts.empty());
    EXPECT_EQ(mask, "*.*");
}

// The prompt's title names the panel; directories match the mask like files.
TEST_F(SelectionCommands, MaskAsksWithThePanelWordAndSelectsDirectoriesAlike)
{
    for (const auto& [tag, word, title] : {std::tuple{3, msgLocal, "Local Filter"}, std::tuple{-3, msgFtp, "FTP Filter"}}) {
        panel.unselectAll();
        mask = "*.*";
        ui.answerPrompt("*.txt");
        run(tag, word);
        EXPECT_EQ(lastPrompt(), std::string(title) + "|Mask|*.*|255");
        EXPECT_EQ(panel.selectedIndices(), (Indices{0, 1, 3}));
        EXPECT_EQ(panel.selectedTotal(), 500);
        EXPECT_EQ(mask, "*.txt");
    }
}

// Unselect starts with the last mask; a cancelled prompt changes neither selection nor mask; the mask
// is cut to its limit, here before "*.doc".
TEST_F(SelectionCommands, UnselectCancelAndTheMaskLimit)
{
    run(1);
    mask = "*.doc";
    ui.answerPrompt("*.txt,*.doc");
    run(2);
    EXPECT_EQ(lastPrompt(), "Local Filter|Mask|*.doc|255");
    EXPECT_TRUE(panel.selectedIndices().empty());
    EXPECT_EQ(panel.selectedCount(), 0);
    EXPECT_EQ(mask, "*.txt,*.doc");

    panel.setSelected(2, true);
    ui.cancelPrompt();
    run(3);
    ui.cancelPrompt();
    run(-2, msgFtp);
    EXPECT_EQ(ui.prompts.size(), 3u);
    EXPECT_EQ(panel.selectedIndices(), (Indices{2}));
    EXPECT_EQ(mask, "*.txt,*.doc");

    panel.unselectAll();
    const std::string kept = "*.txt," + std::string(249, 'x');
    ui.answerPrompt(kept + ",*.doc");
    run(3);
    EXPECT_EQ(mask, kept);
    EXPECT_EQ(panel.selectedIndices(), (Indices{0, 1, 3}));
}

TEST_F(SelectionCommands, TitlesComeFromTheMessageListAndUnknownTagsAreUsageErrors)
{
    Strings items = MainMessagesEnglish();
    items[msgLocal] = "Lokal";
    items[msgFilter] = "Filter!";
    items[msgMask] = "Maske";
    messages.msl = MessageList(items);
    ui.answerPrompt("a.*");
    run(3);
    EXPECT_EQ(lastPrompt(), "Lokal Filter!|Maske|*.*|255");
    EXPECT_EQ(panel.selectedIndices(), (Indices{1}));

    panel.unselectAll();
    for (int tag : {0, 5, -5, 100})
        EXPECT_THROW(run(tag), std::invalid_argument) << tag;
    EXPECT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(panel.selectedIndex(), -1);
}

} // namespace brisk::file_panel_test
