#include "listing/listing_parser.h"
#include "listing/remote_panel.h"

#include <gtest/gtest.h>

namespace brisk {
namespace {

using Strings = std::vector<std::string>;

std::shared_ptr<const RemotePanel::Entries> entries(RemotePanel::Entries list)
{
    return std::make_shared<const RemotePanel::Entries>(std::move(list));
}

RemoteEntry file(const std::string& name, const std::string& size, const std::string& date = "Mar 3")
{
    return {false, name, size, date, "10:00", "-rw-r--r--", ""};
}

RemoteEntry dir(const std::string& name)
{
    return {true, name, "", "Dec 24 1999", "", "drwxr-xr-x", ""};
}

Strings captions(const RemotePanel& p)
{
    Strings out;
    for (const PanelRow& row : p.panel.rows())
        out.push_back(row.caption);
    return out;
}

const CalendarDate kToday{2026, 12, 5};

// The text response type (1) shows raw lines: never filtered.
TEST(RemotePanel, FilterHidesFilesButNeverDirectoriesNorTextLines)
{
    RemotePanel p;
    p.listing = entries(
        {file("notes", "1"), file("archive.tar.txt", "2"), file("b.TXT", "3"), dir("logs.d"), file("a.txt", "4")});
    p.filterMask = "*.txt";
    p.FillRemotePanel(0, DateOrder::DayFirst, kToday);
    EXPECT_EQ(captions(p), (Strings{"logs.d", "a.txt", "b.TXT"}));

    p.listing = entries({file("total 3", ""), file("-rw-r--r-- 1 u g 5 Jan 1 x", "")});
    p.FillRemotePanel(1, DateOrder::DayFirst, kToday);
    EXPECT_EQ(p.panel.size(), 2u);
}

TEST(RemotePanel, RowsCarryDisplayDatesAndTheLinkTarget)
{
    RemotePanel p;
    RemoteEntry link = file("l", "7", "Dec 24");
    link.link = "target";
    RemoteEntry sizedDir = dir("d");
    sizedDir.size = "4096";
    p.listing = entries({link, sizedDir});
    p.FillRemotePanel(0, DateOrder::MonthFirst, kToday);
    const PanelRow& d = p.panel.rows()[0];
    EXPECT_EQ(d.image, kImageDirectory);
    EXPECT_EQ(d.size, "") << "directories show no size";
    EXPECT_EQ(d.date, "12.24.1999");
    const PanelRow& l = p.panel.rows()[1];
    EXPECT_EQ(l.image, kImageFile);
    EXPECT_EQ(l.date, "12.24.2025");
    EXPECT_EQ(l.size, "7");
    EXPECT_EQ(l.link, "target");
}

struct ShownYearCase {
    const char* descriptor;
    std::string line;
    std::string recordDate;  // the record keeps its own form
    std::string shownDate;
};

// Listing lines through the parser into the panel, as a fetched listing goes; today is 5 December 2026.
TEST(RemotePanel, DatesShowTheFullYearOfTheListingLine)
{
    const ShownYearCase cases[] = {
        {"0", "-rw-r--r-- 1 o g 3 Jan 01  1970 a", "01.01.70", "01.01.1970"},
        {"0", "-rw-r--r-- 1 o g 3 Jun 15  1975 a", "15.06.75", "15.06.1975"},
        {"0", "-rw-r--r-- 1 o g 3 Nov 30  2079 a", "30.11.79", "30.11.2079"},
        {"0", "-rw-r--r-- 1 o g 3 Mar  3 14:05 a", "03.03.26", "03.03.2026"},
        {"0", "-rw-r--r-- 1 o g 3 Dec 24 09:15 a", "24.12.25", "24.12.2025"},
        {"0", "lrwxrwxrwx 1 o g 7 Jan 10  1975 a -> a", "10.01.75", "10.01.1975"},
        {"7", "-rw-r--r-- 1 o g 3 Jan 01  1970 a", "Jan 01 1970", "01.01.1970"},
        {"9", "-rw-r--r-- 1 o g x y 3 Jun 15  1975 a", "Jun 15 1975", "15.06.1975"},
        {"8", "12-24-85  10:20AM                 1234 a", "24.12.85", "24.12.1985"},
        {"8", "01-15-01  03:47PM                 1234 a", "15.01.01", "15.01.2001"},
    };
    for (const ShownYearCase& c : cases) {
        SCOPED_TRACE(c.line);
        RemotePanel p;
        p.listing = entries(ParseListing(c.descriptor, kToday, {c.line}).entries);
        ASSERT_EQ(p.listing->size(), 1u);
        EXPECT_EQ(p.listing->view(0).date, c.recordDate);
        p.FillRemotePanel(0, DateOrder::DayFirst, kToday);
        ASSERT_EQ(p.panel.size(), 1u);
        EXPECT_EQ(p.panel.rows()[0].date, c.shownDate);
    }
}

TEST(RemotePanel, PathBoxItemsAndThePathOfEachItem)
{
    RemotePanel p;
    p.RebuildPathBox("SERVER LIST ...", "host", "/pub/linux/");
    EXPECT_EQ(p.pathItems(), (Strings{"SERVER LIST ...", "host", "pub", "linux"}));
    EXPECT_EQ(p.pathSelected(), 3);
    EXPECT_EQ(p.pathTag(), 3);
    EXPECT_EQ(p.pathOfItem(1), "/");
    EXPECT_EQ(p.pathOfItem(2), "/pub");
    EXPECT_EQ(p.pathOfItem(3), "/pub/linux");

    p.RebuildPathBox("SERVER LIST ...", "host", "/");
    EXPECT_EQ(p.pathItems(), (Strings{"SERVER LIST ...", "host"}));
    EXPECT_EQ(p.pathSelected(), 1);

    p.RebuildPathBox("SERVER LIST ...", "host", "rel/dir");
    EXPECT_EQ(p.pathItems(), (Strings{"SERVER LIST ...", "host", "rel", "dir"}));
}

} // namespace
} // namespace brisk
