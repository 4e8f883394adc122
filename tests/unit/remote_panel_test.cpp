#include "listing/listing_parser.h"
#include "listing/mask_match.h"
#include "listing/remote_panel.h"
#include "session/remote_paths.h"
#include "session/window_title.h"

#include <gtest/gtest.h>

#include <array>

namespace brisk::remote_panel_test {

using Strings = std::vector<std::string>;

const CalendarDate kToday{2026, 12, 5};

std::shared_ptr<const RemotePanel::Entries> entries(RemotePanel::Entries list)
{
    return std::make_shared<const RemotePanel::Entries>(std::move(list));
}

RemoteEntry file(const std::string& name, const std::string& size, const std::string& date = "Mar 3")
{
    return {false, name, size, date, "10:00", "-rw-r--r--", ""};
}

Strings captions(const RemotePanel& p)
{
    Strings out;
    for (const PanelRow& row : p.panel.rows())
        out.push_back(row.caption);
    return out;
}

Strings selectedCaptions(const RemotePanel& p)
{
    Strings out;
    for (size_t index : p.panel.selectedIndices())
        out.push_back(std::string(p.panel.rows().caption(index)));
    return out;
}

// The text response type (1) shows raw lines: never filtered.
TEST(RemotePanel, FilterHidesFilesButNeverDirectoriesNorTextLines)
{
    RemotePanel p;
    p.listing = entries({file("notes", "1"), file("archive.tar.txt", "2"), file("b.TXT", "3"),
                         {true, "logs.d", "", "", "", "", ""}, file("a.txt", "4")});
    p.filterMask = "*.txt";
    p.FillRemotePanel(0, DateOrder::DayFirst, kToday);
    EXPECT_EQ(captions(p), (Strings{"logs.d", "a.txt", "b.TXT"}));

    p.listing = entries({file("total 3", ""), file("-rw-r--r-- 1 u g 5 Jan 1 x", "")});
    p.FillRemotePanel(1, DateOrder::DayFirst, kToday);
    EXPECT_EQ(p.panel.size(), 2u);
}

TEST(RemotePanel, RowsCarryDisplayDatesAndTheLinkTargetButDirectoriesNoSize)
{
    RemotePanel p;
    p.listing = entries({{false, "l", "7", "Dec 24", "10:00", "lrwx", "target"}, {true, "d", "4096", "Dec 24 1999", "", "", ""}});
    p.FillRemotePanel(0, DateOrder::MonthFirst, kToday);
    const PanelRow d = p.panel.rows()[0], l = p.panel.rows()[1];
    EXPECT_EQ(std::tie(d.image, d.size, d.date), std::tuple(int(kImageDirectory), "", "12.24.1999"));
    EXPECT_EQ(std::tie(l.image, l.size, l.date, l.link), std::tuple(int(kImageFile), "7", "12.24.2025", "target"));
}

// Listing lines through the parser into the panel, as a fetched listing goes; the record keeps its own form.
TEST(RemotePanel, DatesShowTheFullYearOfTheListingLine)
{
    const std::tuple<const char*, std::string, std::string, std::string> cases[] = {
        {"0", "-rw-r--r-- 1 o g 3 Jan 01  1970 a", "01.01.70", "01.01.1970"},
        {"0", "-rw-r--r-- 1 o g 3 Nov 30  2079 a", "30.11.79", "30.11.2079"},
        {"0", "lrwxrwxrwx 1 o g 7 Jan 10  1975 a -> a", "10.01.75", "10.01.1975"},
        {"7", "-rw-r--r-- 1 o g 3 Jan 01  1970 a", "Jan 01 1970", "01.01.1970"},
        {"9", "-rw-r--r-- 1 o g x y 3 Jun 15  1975 a", "Jun 15 1975", "15.06.1975"},
        {"8", "12-24-85  10:20AM                 1234 a", "24.12.85", "24.12.1985"},
        {"8", "01-15-01  03:47PM                 1234 a", "15.01.01", "15.01.2001"},
    };
    for (const auto& [descriptor, line, recordDate, shownDate] : cases) {
        SCOPED_TRACE(line);
        RemotePanel p;
        p.listing = entries(ParseListing(descriptor, kToday, {line}).entries);
        ASSERT_EQ(p.listing->size(), 1u);
        EXPECT_EQ(p.listing->view(0).date, recordDate);
        p.FillRemotePanel(0, DateOrder::DayFirst, kToday);
        ASSERT_EQ(p.panel.size(), 1u);
        EXPECT_EQ(p.panel.rows()[0].date, shownDate);
    }
}

// Unreadable lines and names no command may take are shown whatever the filter, as text rows with
// their control bytes as "?", that no selection command ever selects; every other row stays selectable.
TEST(RemotePanel, UnreadableLinesAndUnusableNamesAreTextRowsThatCannotBeSelected)
{
    RemotePanel p;
    RemoteEntry unreadable = file("550 Permission denied.", "");
    unreadable.unreadable = true;
    p.listing = entries({file("ok.txt", "5"), unreadable, file("a/b", "1"), file(std::string("nul\0x", 5), "1"),
                         file("cr\rlf\n", "1"), {true, "..", "", "", "", "", ""}, {true, "pub", "", "", "", "", ""},
                         file(" lead blank.txt", "2")});
    p.filterMask = "*.txt";
    p.FillRemotePanel(0, DateOrder::DayFirst, kToday);
    Strings text, other;
    for (const PanelRow& row : p.panel.rows())
        (row.image == kImageText ? text : other).push_back(row.caption);
    EXPECT_EQ(text, (Strings{"..", "550 Permission denied.", "a/b", "cr?lf?", "nul?x"}));
    EXPECT_EQ(other, (Strings{"pub", " lead blank.txt", "ok.txt"}));

    FilePanel& panel = p.panel;
    for (size_t i = 0; i < panel.size(); ++i)
        panel.setSelected(i, true);
    EXPECT_EQ(selectedCaptions(p), other);
    panel.unselectAll();
    panel.invertSelection();
    EXPECT_EQ(selectedCaptions(p), other);
    panel.unselectAll();
    panel.selectMatching("*", true);
    EXPECT_EQ(selectedCaptions(p), other);
    EXPECT_EQ(std::pair(panel.selectedCount(), panel.selectedTotal()), std::pair(int64_t(2), int64_t(7)));
}

TEST(RemotePanel, PathBoxItemsAndThePathOfEachItem)
{
    RemotePanel p;
    p.RebuildPathBox("SERVER LIST ...", "host", "/pub/linux/");
    EXPECT_EQ(p.pathItems(), (Strings{"SERVER LIST ...", "host", "pub", "linux"}));
    EXPECT_EQ(std::pair(p.pathSelected(), p.pathTag()), std::pair(3, 3));
    EXPECT_EQ((Strings{p.pathOfItem(1), p.pathOfItem(2), p.pathOfItem(3)}), (Strings{"/", "/pub", "/pub/linux"}));

    p.RebuildPathBox("SERVER LIST ...", "host", "/");
    EXPECT_EQ(std::pair(p.pathItems(), p.pathSelected()), std::pair(Strings{"SERVER LIST ...", "host"}, 1));
    p.RebuildPathBox("SERVER LIST ...", "host", "rel/dir");
    EXPECT_EQ(p.pathItems(), (Strings{"SERVER LIST ...", "host", "rel", "dir"}));
}

TEST(WindowTitle, NamesTheOpenSiteAndTheShownDirectory)
{
    RemotePanel remote;
    EXPECT_EQ(WindowTitle(true, "Work", remote), "Brisklane");
    EXPECT_EQ(WindowTitle(false, "Work", remote), "Brisklane - Work") << "connecting, nothing listed yet";
    remote.RebuildPathBox("SERVER LIST ...", "ftp.example", "/");
    EXPECT_EQ(WindowTitle(false, "Work", remote), "Brisklane - Work - /");
    remote.RebuildPathBox("SERVER LIST ...", "ftp.example", "/pub/a b");
    remote.selectPathItem(1);
    EXPECT_EQ(WindowTitle(false, "Work", remote), "Brisklane - Work - /pub/a b") << "a choice is not yet shown";
    EXPECT_EQ(WindowTitle(true, "Work", remote), "Brisklane");
}

TEST(RemotePaths, ParentLastWithSlashAndUp)
{
    const std::array<const char*, 5> cases[] = {
        // path, parent, last, with slash, up
        {"/a/b", "/a", "b", "/a/b/", "/a"}, {"/a/b/", "/a", "b", "/a/b/", "/a"}, {"/a", "", "a", "/a/", "/"},
        {"/", "", "", "/", "/"}, {"", "", "", "/", "/"}, {"a/b", "a", "b", "a/b/", "a"}, {"name", "", "name", "name/", "/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ((Strings{ParentDir(c[0]), LastComponent(c[0]), WithSlash(c[0]), UpDir(c[0])}),
                  (Strings{c[1], c[2], c[3], c[4]})) << c[0];
}

TEST(RemotePaths, StartDirectoryRule)
{
    const std::tuple<const char*, bool, const char*> cases[] = {
        {"", false, "/"}, {"/pub", false, "/pub/"}, {"/pub/", false, "/pub/"},
        {"/pub", true, "pub/"}, {"", true, ""}, {"pub", true, "pub/"}};
    for (const auto& [dir, relative, rule] : cases)
        EXPECT_EQ(RemoteDirRule(dir, relative), rule) << dir << relative;
}

TEST(MatchesMask, WildcardsListsAndCase)
{
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"readme.TXT", "*.txt", true}, {"a.tar.txt", "*.txt", false}, {"readme", "*.txt", false},
        {"a.tar.gz", "*.tar.gz", true}, {"abc.doc", "a?c.*", true}, {"x.doc", "*.txt,*.doc", true},
        {"x.doc", "*.txt, *.doc", true}, {"anything at all", "", true}, {"no dot", "*", true},
        {"no dot", "*.*", true}, {"a.b.c", "*.*", true}, {"a.b", "*.txt,*", true}, {"a.b", ",*.txt", false},
        {"ac.doc", "a?c.*", false}, {"abbbc.x", "a*b*c.x", true}, {"abbbd.x", "a*b*c.x", false},
        {"notes.", "notes", true}, {"\xc3\xa4" "b.txt", "?b.txt", true}, {"\xc3\x84" "b.txt", "\xc3\xa4" "b.txt", false},
        {"ABC.Txt", "abc.tXT", true},
    };
    for (const auto& [name, mask, matches] : cases)
        EXPECT_EQ(MatchesMask(name, mask), matches) << name << " / " << mask;
    // Backtracking over many stars would take ages here.
    std::string mask(200, '*');
    mask += 'b';
    EXPECT_FALSE(MatchesMask(std::string(4000, 'a'), mask));
}

} // namespace brisk::remote_panel_test
