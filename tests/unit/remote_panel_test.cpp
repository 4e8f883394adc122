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
