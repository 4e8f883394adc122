#include "mirror/mirror_local_side.h"
#include "temp_home.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/time.h>

namespace brisk {
namespace {

class MirrorLocalSideTest : public TempHomeTest {};

TEST_F(MirrorLocalSideTest, FilesDirectoriesAndLinksWithSizeAndTime)
{
    writeFile(home() + "site/a.txt", "hello");
    std::filesystem::create_directories(home() + "site/sub");
    std::filesystem::create_symlink(home() + "site/sub", home() + "site/to-sub");
    const timeval times[2] = {{1700000000, 0}, {1700000000, 0}};
    ASSERT_EQ(utimes((home() + "site/a.txt").c_str(), times), 0);

    std::vector<MirrorLocalItem> items = ReadMirrorLocal(home() + "site");
    std::sort(items.begin(), items.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].name, "a.txt");
    EXPECT_FALSE(items[0].isDirectory || items[0].isLink);
    EXPECT_EQ(items[0].size, 5);
    const MirrorStamp expected = LocalStamp(1700000000);
    EXPECT_EQ(items[0].modified.date, expected.date);
    EXPECT_EQ(items[0].modified.seconds, expected.seconds);
    EXPECT_TRUE(items[1].isDirectory && !items[1].isLink);
    EXPECT_TRUE(items[2].isDirectory && items[2].isLink);
    EXPECT_TRUE(ReadMirrorLocal(home() + "missing").empty());
}

TEST(MirrorStamps, LocalTimeIsReadInTheLocalTimeZone)
{
    const char* saved = std::getenv("TZ");
    const std::string previous = saved ? saved : "";
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    const MirrorStamp stamp = LocalStamp(1700000000);   // 2023-11-14 22:13:20 UTC
    EXPECT_EQ(stamp.date, (CalendarDate{2023, 11, 14}));
    EXPECT_EQ(stamp.seconds, 22 * 3600 + 13 * 60 + 20);
    saved ? ::setenv("TZ", previous.c_str(), 1) : ::unsetenv("TZ");
    ::tzset();
}

} // namespace
} // namespace brisk
