#include "sites/time_zones.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace brisk;

TEST(TimeZones, OffsetOfADisplayText)
{
    const struct {
        const char* text;
        int hours;
    } cases[] = {
        {"(GMT-05:00) Eastern Time", -5},
        {"(GMT) Greenwich", 0},
        {"(GMT+05:30) Bombay", 5},
        {"(GMT+05:45) Asia/Kathmandu", 5},
        {"(GMT-03:30) America/St_Johns", -3},
        {"(GMT+14:00) Pacific/Kiritimati", 14},
        {"( GMT + 3 ) Somewhere", 3},
        {"GMT+05:00 no brackets", 0},
        {"(UTC+05:00) Other", 0},
        {"(GMT+ab:00) Bad", 0},
        {"(GMT+05:00", 0},
        {"", 0},
        {"(GMT+99999999999:00) Huge", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ZoneOffsetHours(c.text), c.hours) << c.text;
}

TEST(TimeZones, DisplayTextsReadBackTheirWholeHours)
{
    EXPECT_EQ(ZoneDisplayText(19800, "Asia/Kolkata"), "(GMT+05:30) Asia/Kolkata");
    EXPECT_EQ(ZoneDisplayText(-12600, "America/St_Johns"), "(GMT-03:30) America/St_Johns");
    EXPECT_EQ(ZoneDisplayText(0, "UTC"), "(GMT+00:00) UTC");
    for (long hours = -12; hours <= 14; ++hours)
        EXPECT_EQ(ZoneOffsetHours(ZoneDisplayText(hours * 3600, "X")), hours);
}

class SystemZonesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists("/usr/share/zoneinfo/zone1970.tab") &&
            !std::filesystem::exists("/usr/share/zoneinfo/zone.tab"))
            GTEST_SKIP() << "no time-zone database (tzdata) installed";
    }
};

TEST_F(SystemZonesTest, ListIsOrderedStableAndFindsTheCurrentZone)
{
    const std::time_t winter = 1767225600;   // 2026-01-01 00:00 UTC
    const TimeZoneList list = BuildTimeZoneList("/usr/share/zoneinfo", "Asia/Kolkata", winter);
    ASSERT_GT(list.texts.size(), 100u);
    ASSERT_GE(list.current, 0);
    EXPECT_EQ(list.texts[static_cast<size_t>(list.current)], "(GMT+05:30) Asia/Kolkata");
    for (size_t i = 1; i < list.texts.size(); ++i)
        EXPECT_LE(ZoneOffsetHours(list.texts[i - 1]), ZoneOffsetHours(list.texts[i])) << list.texts[i];
    EXPECT_EQ(BuildTimeZoneList("/usr/share/zoneinfo", "Asia/Kolkata", winter).texts, list.texts);
    const auto has = [&](const std::string& text) {
        return std::find(list.texts.begin(), list.texts.end(), text) != list.texts.end();
    };
    EXPECT_TRUE(has("(GMT-05:00) America/New_York"));
    EXPECT_TRUE(has("(GMT+00:00) UTC"));
}

TEST_F(SystemZonesTest, OffsetsFollowDaylightSavingAndTzIsRestored)
{
    ::setenv("TZ", "Europe/Paris", 1);
    const std::time_t summer = 1782864000;   // 2026-07-01 00:00 UTC
    const TimeZoneList list = BuildTimeZoneList("/usr/share/zoneinfo", "Etc/UTC", summer);
    EXPECT_NE(std::find(list.texts.begin(), list.texts.end(), "(GMT-04:00) America/New_York"), list.texts.end());
    ASSERT_GE(list.current, 0);
    EXPECT_EQ(list.texts[static_cast<size_t>(list.current)], "(GMT+00:00) UTC");
    EXPECT_STREQ(std::getenv("TZ"), "Europe/Paris");
    EXPECT_EQ(SystemTimeZoneName(), "Europe/Paris");
    ::unsetenv("TZ");
}

TEST(TimeZones, UnknownDirectoryOrZoneGivesNoSelection)
{
    const TimeZoneList list = BuildTimeZoneList("/nonexistent", "Asia/Kolkata", 0);
    EXPECT_TRUE(list.texts.empty());
    EXPECT_EQ(list.current, -1);
}
