#include "sites/custom_layouts.h"
#include "sites/descriptor.h"
#include "sites/site_properties.h"
#include "sites/time_zones.h"

#include "site_fixtures.h"
#include "temp_home.h"

#include <gtest/gtest.h>

#include <ctime>

namespace brisk::site_properties_test {

TEST(Descriptor, BuildsFromTypeAndPositionFields)
{
    const std::tuple<int, PositionFields, const char*> cases[] = {
        {4, {"9", "5", "7", "6", "8", "1"}, "4957681"}, {4, {"12", "15", "16", "", "x", "-1"}, "4cf0000"},
        {0, {"9", "5", "7", "6", "8", "1"}, "0957681"}, {7, {"09", "0", "1", "2", "3", "4"}, "7901234"},
    };
    for (const auto& [type, fields, expected] : cases)
        EXPECT_EQ(BuildDescriptor(type, fields), expected);
    EXPECT_EQ(PositionFieldsOf("4c5x"), (PositionFields{"12", "5", "0", "0", "0", "0"}));

    // A position field takes two digits; any other key erases one.
    const std::tuple<const char*, char, const char*> keys[] = {
        {"", '1', "1"}, {"1", '2', "12"}, {"12", '3', "12"}, {"12", 'a', "1"}, {"", 'a', ""}};
    for (const auto& [before, key, after] : keys)
        EXPECT_EQ(TypePositionKey(before, key), after) << before << key;
}

class SitePropertiesTest : public TempHomeTest {
protected:
    std::string answerFile() const { return home() + "Answer.txt"; }
    static TFTPServerInfo site(const char* answer = "0957681", const char* answerName = "Default")
    {
        TFTPServerInfo s = test::newDefaultSite();
        s.Answer = answer;
        s.AnswerName = answerName;
        return s;
    }
    // Saves with a valid name and server; the stored layout as "descriptor name".
    static std::string saved(SiteProperties& dialog)
    {
        dialog.form.name = "n";
        dialog.form.server = "s";
        EXPECT_TRUE(dialog.save());
        return dialog.result().Answer + " " + dialog.result().AnswerName;
    }
};

// A refused save writes nothing, not even the layouts; a cancelled dialog keeps the site as it was.
TEST_F(SitePropertiesTest, NameAndServerAreRequired)
{
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"  ", "host", false}, {"site", " \t", false}, {"", "", false}, {" site ", " host ", true}};
    for (const auto& [name, server, ok] : cases) {
        SiteProperties dialog(test::newDefaultSite(), test::fixedZones());
        dialog.form.name = name;
        dialog.form.server = server;
        EXPECT_EQ(dialog.save(), ok) << name << "|" << server;
        EXPECT_EQ(std::filesystem::exists(answerFile()), ok);
        EXPECT_EQ(dialog.result().Name + "|" + dialog.result().Server, ok ? "site|host" : "|");
    }
    SiteProperties cancelled(test::newDefaultSite(), test::fixedZones());
    cancelled.form.name = "changed";
    cancelled.cancel();
    EXPECT_EQ(cancelled.result(), test::newDefaultSite());
}

// Texts are trimmed and cut, except the password; the description lines are joined with "`".
TEST_F(SitePropertiesTest, EveryControlIsStoredTrimmedAndCut)
{
    TFTPServerInfo site = test::newDefaultSite();
    site.Description = "kept";
    SiteProperties dialog(site, test::fixedZones());
    SiteForm& f = dialog.form;
    f.name = std::string(60, 'n'), f.server = " ftp.example.com ", f.port = " 2121 ", f.user = " bob ";
    f.password = " pass ", f.account = " acct ", f.email = " me@x.org ", f.initialDir = " /pub ", f.localDir = " /tmp ";
    f.anonymous = true, f.savePassword = false, f.maskPassword = false, f.passive = true;
    f.sharedVirtualHost = true, f.showHidden = true, f.relativePath = true;
    f.descLines = {"first", "second"};
    f.zoneIndex = 2;
    ASSERT_TRUE(dialog.save());
    TFTPServerInfo want = site;
    want.Name = std::string(50, 'n'), want.Server = "ftp.example.com", want.Port = "2121", want.User = "bob";
    want.Password = " pass ", want.Account = "acct", want.EMail = "me@x.org", want.InitialDir = "/pub", want.LocalDir = "/tmp";
    want.Anonymous = 1, want.SavePassword = 0, want.CheckPSW = 0, want.Pasv = 1, want.CheckVHost = 1, want.ShowHidden = 1;
    want.MkDir = 1, want.Desc = "first`second", want.TimeZoneV = 2, want.TimeZone = 5;
    want.Answer = "0957681", want.AnswerName = "Default";
    EXPECT_EQ(dialog.result(), want);
}

// An index beyond the zone list selects the current zone; without a zone list the site keeps its offset.
TEST_F(SitePropertiesTest, OpeningFillsTheControls)
{
    TFTPServerInfo site = test::newDefaultSite();
    site.Desc = "a``b", site.InitialDir = "/x", site.TimeZoneV = 7;
    SiteProperties dialog(site, test::fixedZones());
    EXPECT_EQ(dialog.form.descLines, (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(std::tuple(dialog.form.addSlash, dialog.form.maskPassword, dialog.form.zoneIndex), std::tuple(true, true, 1));
    site.TimeZoneV = 0;
    EXPECT_EQ(SiteProperties(site, test::fixedZones()).form.zoneIndex, 0);
    site.TimeZoneV = -1;
    TimeZoneList none = test::fixedZones();
    none.current = -1;
    EXPECT_EQ(SiteProperties(site, none).form.zoneIndex, -1);
    site.TimeZone = 4;
    SiteProperties keepsZone(site, TimeZoneList{});
    saved(keepsZone);
    EXPECT_EQ(std::tuple(int(keepsZone.result().TimeZone), int(keepsZone.result().TimeZoneV)), std::tuple(4, -1));
}

TEST_F(SitePropertiesTest, AddSlashRule)
{
    SiteProperties dialog(test::newDefaultSite(), test::fixedZones());
    const std::tuple<const char*, bool, const char*> cases[] = {
        {"pub", true, "/pub"}, {" /pub ", true, "/pub"}, {"/pub", false, "pub"},
        {" pub ", false, "pub"}, {"", true, "/"}, {"/ x", false, "x"}};
    for (const auto& [before, on, after] : cases) {
        dialog.form.initialDir = before;
        dialog.setAddSlash(on);
        EXPECT_EQ(dialog.form.initialDir, after) << before;
    }
}

// Without an answer file there is only the built-in entry; the file's entry zero always gets the
// default descriptor.
TEST_F(SitePropertiesTest, EntryZeroAlwaysHasTheDefaultDescriptor)
{
    SiteProperties builtIn(test::newDefaultSite(), test::fixedZones(), "Standard");
    EXPECT_EQ(builtIn.layouts(), (std::vector<CustomLayout>{{"Standard", "0957681"}}));
    EXPECT_FALSE(builtIn.positionFieldsEditable());

    writeFile(answerFile(), "\"Mine\",4123456\n\"Listing A\",4957681\n");
    SiteProperties dialog(test::newDefaultSite(), test::fixedZones());
    EXPECT_EQ(dialog.layouts(), (std::vector<CustomLayout>{{"Mine", "0957681"}, {"Listing A", "4957681"}}));
    dialog.cancel();
    EXPECT_EQ(readFile(answerFile()), "\"Mine\",0957681\n\"Listing A\",4957681\n");
}

TEST_F(SitePropertiesTest, CancelledDialogStillWritesAddedLayouts)
{
    SiteProperties dialog(test::newDefaultSite(), test::fixedZones());
    dialog.form.responseType = 4;
    dialog.addLayout("Listing A");
    ASSERT_TRUE(dialog.positionFieldsEditable());
    dialog.form.positions = {"9", "5", "7", "6", "8", "1"};
    dialog.addLayout("Say \"hi\"");
    dialog.cancel();
    EXPECT_TRUE(dialog.answerFileWritten());
    EXPECT_EQ(readFile(answerFile()),
              "\"Default\",0957681\n\"Listing A\",4957681\n\"Say \"\"hi\"\"\",0957681\n");
    EXPECT_EQ(modeOf(answerFile()), 0600u);
    EXPECT_EQ(SiteProperties(test::newDefaultSite(), test::fixedZones()).layouts().at(2).name, "Say \"hi\"");
}

// A custom site opens with its layout by name, or with the default once that layout is gone.
TEST_F(SitePropertiesTest, CustomSiteTakesItsLayoutByName)
{
    writeFile(answerFile(), "\"Default\",0957681\n\"Listing A\",4957681\n\"Other\",4123456\n");
    const SiteProperties vanished(site("4000000", "Vanished"), test::fixedZones());
    EXPECT_EQ(std::pair(vanished.selectedLayout(), vanished.form.positions), std::pair(0, PositionFieldsOf("0957681")));

    SiteProperties dialog(site("4000000", "other"), test::fixedZones());
    EXPECT_TRUE(dialog.customPanelVisible());
    EXPECT_EQ(std::pair(dialog.selectedLayout(), dialog.form.positions),
              std::pair(2, PositionFields{"1", "2", "3", "4", "5", "6"}));
    dialog.selectLayout(1);
    EXPECT_EQ(dialog.form.positions, (PositionFields{"9", "5", "7", "6", "8", "1"}));
    dialog.form.positions[0] = "12";
    EXPECT_EQ(saved(dialog), "4c57681 Listing A");
    EXPECT_EQ(readFile(answerFile()), "\"Default\",0957681\n\"Listing A\",4c57681\n\"Other\",4123456\n");
}

TEST_F(SitePropertiesTest, CorruptAnswerIsReplacedByTheDefault)
{
    for (const char* answer : {"", "495", "x957681", "04957681"}) {
        SiteProperties dialog(site(answer, "junk"), test::fixedZones(), "Standard");
        EXPECT_EQ(dialog.form.responseType, 0) << answer;
        EXPECT_EQ(saved(dialog), "0957681 Standard");
    }
}

TEST_F(SitePropertiesTest, EditRenamesOrAddsAndDeleteSparesEntryZero)
{
    SiteProperties dialog(test::newDefaultSite(), test::fixedZones());
    dialog.editLayout("First");
    EXPECT_EQ(dialog.selectedLayout(), 1);
    dialog.editLayout("Renamed");
    EXPECT_EQ(dialog.layouts(), (std::vector<CustomLayout>{{"Default", "0957681"}, {"Renamed", "0957681"}}));
    EXPECT_TRUE(dialog.deleteLayout());
    EXPECT_EQ(dialog.selectedLayout(), 0);
    EXPECT_FALSE(dialog.deleteLayout());
    EXPECT_EQ(dialog.layouts().size(), 1u);
}

// The Security combo: a new site offers explicit TLS if available; the choice is stored, and a value
// the form cannot show opens as plain.
TEST_F(SitePropertiesTest, SecurityChoiceIsShownAndStored)
{
    SiteProperties dialog(test::newDefaultSite(), test::fixedZones());
    EXPECT_EQ(SiteProperties::securityTexts().at(size_t(dialog.form.security)), "Explicit TLS if available");
    dialog.form.security = 3;
    saved(dialog);
    EXPECT_EQ(dialog.result().Security, 3);
    TFTPServerInfo odd = test::newDefaultSite();
    odd.Security = 9;
    EXPECT_EQ(SiteProperties(odd, test::fixedZones()).form.security, 0);
}

TEST(TimeZones, OffsetOfADisplayText)
{
    const std::pair<const char*, int> cases[] = {
        {"(GMT-05:00) Eastern Time", -5}, {"(GMT) Greenwich", 0}, {"(GMT+05:30) Bombay", 5},
        {"(GMT+05:45) Asia/Kathmandu", 5}, {"(GMT-03:30) America/St_Johns", -3}, {"(GMT+14:00) Pacific/Kiritimati", 14},
        {"( GMT + 3 ) Somewhere", 3}, {"GMT+05:00 no brackets", 0}, {"(UTC+05:00) Other", 0}, {"(GMT+ab:00) Bad", 0},
        {"(GMT+05:00", 0}, {"", 0}, {"(GMT+99999999999:00) Huge", 0},
    };
    for (const auto& [text, hours] : cases)
        EXPECT_EQ(ZoneOffsetHours(text), hours) << text;
    EXPECT_EQ(ZoneDisplayText(19800, "K") + ZoneDisplayText(-12600, "S") + ZoneDisplayText(0, "U"),
              "(GMT+05:30) K(GMT-03:30) S(GMT+00:00) U");
    for (long hours = -12; hours <= 14; ++hours)
        EXPECT_EQ(ZoneOffsetHours(ZoneDisplayText(hours * 3600, "X")), hours);
    const TimeZoneList none = BuildTimeZoneList("/nonexistent", "Asia/Kolkata", 0);
    EXPECT_EQ(std::pair(none.texts.size(), none.current), std::pair(size_t(0), -1));
}

class SystemZonesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists("/usr/share/zoneinfo/zone1970.tab") &&
            !std::filesystem::exists("/usr/share/zoneinfo/zone.tab"))
            GTEST_SKIP() << "no time-zone database (tzdata) installed";
    }
    static bool has(const TimeZoneList& list, const std::string& text)
    {
        return std::find(list.texts.begin(), list.texts.end(), text) != list.texts.end();
    }
};

TEST_F(SystemZonesTest, ListIsOrderedStableAndFindsTheCurrentZone)
{
    const std::time_t winter = 1767225600;   // 2026-01-01 00:00 UTC
    const TimeZoneList list = BuildTimeZoneList("/usr/share/zoneinfo", "Asia/Kolkata", winter);
    ASSERT_GT(list.texts.size(), 100u);
    ASSERT_GE(list.current, 0);
    EXPECT_EQ(list.texts[size_t(list.current)], "(GMT+05:30) Asia/Kolkata");
    for (size_t i = 1; i < list.texts.size(); ++i)
        EXPECT_LE(ZoneOffsetHours(list.texts[i - 1]), ZoneOffsetHours(list.texts[i])) << list.texts[i];
    EXPECT_EQ(BuildTimeZoneList("/usr/share/zoneinfo", "Asia/Kolkata", winter).texts, list.texts);
    EXPECT_TRUE(has(list, "(GMT-05:00) America/New_York") && has(list, "(GMT+00:00) UTC"));
}

TEST_F(SystemZonesTest, OffsetsFollowDaylightSavingAndTzIsRestored)
{
    ::setenv("TZ", "Europe/Paris", 1);
    const std::time_t summer = 1782864000;   // 2026-07-01 00:00 UTC
    const TimeZoneList list = BuildTimeZoneList("/usr/share/zoneinfo", "Etc/UTC", summer);
    EXPECT_TRUE(has(list, "(GMT-04:00) America/New_York"));
    ASSERT_GE(list.current, 0);
    EXPECT_EQ(list.texts[size_t(list.current)], "(GMT+00:00) UTC");
    EXPECT_STREQ(std::getenv("TZ"), "Europe/Paris");
    EXPECT_EQ(SystemTimeZoneName(), "Europe/Paris");
    ::unsetenv("TZ");
}

} // namespace brisk::site_properties_test
