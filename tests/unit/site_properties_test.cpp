#include "sites/custom_layouts.h"
#include "sites/descriptor.h"
#include "sites/site_properties.h"

#include "site_fixtures.h"
#include "temp_home.h"

#include <gtest/gtest.h>

using namespace brisk;

TEST(Descriptor, BuildsFromTypeAndPositionFields)
{
    const struct {
        int type;
        PositionFields fields;
        const char* expected;
    } cases[] = {
        {4, {"9", "5", "7", "6", "8", "1"}, "4957681"},
        {4, {"12", "15", "16", "", "x", "-1"}, "4cf0000"},
        {0, {"9", "5", "7", "6", "8", "1"}, "0957681"},
        {7, {"09", "0", "1", "2", "3", "4"}, "7901234"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BuildDescriptor(c.type, c.fields), c.expected);
    EXPECT_EQ(PositionFieldsOf("4c5x"), (PositionFields{"12", "5", "0", "0", "0", "0"}));
}

TEST(Descriptor, PositionFieldsTakeTwoDigitsAndOtherKeysErase)
{
    EXPECT_EQ(TypePositionKey("", '1'), "1");
    EXPECT_EQ(TypePositionKey("1", '2'), "12");
    EXPECT_EQ(TypePositionKey("12", '3'), "12");
    EXPECT_EQ(TypePositionKey("12", 'a'), "1");
    EXPECT_EQ(TypePositionKey("", 'a'), "");
}

class SitePropertiesTest : public TempHomeTest {
protected:
    std::string answerFile() const { return home() + "Answer.txt"; }
};

// A refused save writes nothing, not even the layouts.
TEST_F(SitePropertiesTest, NameAndServerAreRequired)
{
    const struct {
        const char* name;
        const char* server;
        bool ok;
    } cases[] = {{"  ", "host", false}, {"site", " \t", false}, {"", "", false}, {" site ", " host ", true}};
    for (const auto& c : cases) {
        SiteProperties dialog(test::newDefaultSite(), test::fixedZones());
        dialog.form.name = c.name;
        dialog.form.server = c.server;
        EXPECT_EQ(dialog.save(), c.ok) << c.name << "|" << c.server;
        EXPECT_EQ(std::filesystem::exists(answerFile()), c.ok);
        if (c.ok) {
            EXPECT_EQ(dialog.result().Name, "site");
            EXPECT_EQ(dialog.result().Server, "host");
        }
    }
}

TEST_F(SitePropertiesTest, EveryControlIsStoredTrimmedAndCut)
{
    TFTPServerInfo site = test::newDefaultSite();
    site.Description = "kept";
    SiteProperties dialog(site, test::fixedZones());
    SiteForm& f = dialog.form;
    f.name = std::string(60, 'n');
    f.server = " ftp.example.com ";
    f.port = " 2121 ";
    f.user = " bob ";
    f.password = " pass ";
    f.account = " acct ";
    f.email = " me@x.org ";
    f.anonymous = true;
    f.savePassword = false;
    f.maskPassword = false;
    f.passive = true;
    f.sharedVirtualHost = true;
    f.showHidden = true;
    f.relativePath = true;
    f.initialDir = " /pub ";
    f.localDir = " /tmp ";
    f.descLines = {"first", "second"};
    f.zoneIndex = 2;
    ASSERT_TRUE(dialog.save());
    const TFTPServerInfo& r = dialog.result();
    EXPECT_EQ(r.Name, std::string(50, 'n'));
    EXPECT_EQ(r.Server, "ftp.example.com");
    EXPECT_EQ(r.Port, "2121");
    EXPECT_EQ(r.User, "bob");
    EXPECT_EQ(r.Password, " pass ");
    EXPECT_EQ(r.Account, "acct");
    EXPECT_EQ(r.EMail, "me@x.org");
    EXPECT_EQ(r.Anonymous, 1);
    EXPECT_EQ(r.SavePassword, 0);
    EXPECT_EQ(r.CheckPSW, 0);
    EXPECT_EQ(r.Pasv, 1);
    EXPECT_EQ(r.CheckVHost, 1);
    EXPECT_EQ(r.ShowHidden, 1);
    EXPECT_EQ(r.MkDir, 1);
    EXPECT_EQ(r.InitialDir, "/pub");
    EXPECT_EQ(r.LocalDir, "/tmp");
    EXPECT_EQ(r.Desc, "first`second");
    EXPECT_EQ(r.TimeZoneV, 2);
    EXPECT_EQ(r.TimeZone, 5);
    EXPECT_EQ(r.Description, "kept");
    EXPECT_EQ(r.Answer, "0957681");
    EXPECT_EQ(r.AnswerName, "Default");
}

TEST_F(SitePropertiesTest, OpeningFillsTheControls)
{
    TFTPServerInfo site = test::newDefaultSite();
    site.Desc = "a``b";
    site.InitialDir = "/x";
    site.TimeZoneV = 7;
    SiteProperties dialog(site, test::fixedZones());
    EXPECT_EQ(dialog.form.descLines, (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(dialog.form.addSlash);
    EXPECT_TRUE(dialog.form.maskPassword);
    EXPECT_EQ(dialog.form.zoneIndex, 1) << "an index beyond the list selects the current zone";
    site.TimeZoneV = 0;
    EXPECT_EQ(SiteProperties(site, test::fixedZones()).form.zoneIndex, 0);
    site.TimeZoneV = -1;
    TimeZoneList none = test::fixedZones();
    none.current = -1;
    SiteProperties noZone(site, none);
    EXPECT_EQ(noZone.form.zoneIndex, -1);
    noZone.form.name = "n";
    noZone.form.server = "s";
    site.TimeZone = 4;
    SiteProperties keepsZone(site, TimeZoneList{});
    keepsZone.form.name = "n";
    keepsZone.form.server = "s";
    ASSERT_TRUE(keepsZone.save());
    EXPECT_EQ(keepsZone.result().TimeZone, 4);
    EXPECT_EQ(keepsZone.result().TimeZoneV, -1);
}

TEST_F(SitePropertiesTest, AddSlashRule)
{
    SiteProperties dialog(test::newDefaultSite(), test::fixedZones());
    const struct {
        const char* before;
        bool on;
        const char* after;
    } cases[] = {{"pub", true, "/pub"}, {" /pub ", true, "/pub"}, {"/pub", false, "pub"},
                 {" pub ", false, "pub"}, {"", true, "/"}, {"/ x", false, "x"}};
    for (const auto& c : cases) {
        dialog.form.initialDir = c.before;
        dialog.setAddSlash(c.on);
        EXPECT_EQ(dialog.form.initialDir, c.after) << c.before;
    }
}

// Without an answer file there is only the built-in entry; the file's entry zero always gets the
// default descriptor.
TEST_F(SitePropertiesTest, EntryZeroAlwaysHasTheDefaultDescriptor)
{
    SiteProperties builtIn(test::newDefaultSite(), test::fixedZones(), "Standard");
    ASSERT_EQ(builtIn.layouts().size(), 1u);
    EXPECT_EQ(builtIn.layouts()[0], (CustomLayout{"Standard", "0957681"}));
    EXPECT_FALSE(builtIn.positionFieldsEditable());

    writeFile(answerFile(), "\"Mine\",4123456\n\"Listing A\",4957681\n");
    SiteProperties dialog(test::newDefaultSite(), test::fixedZones());
    ASSERT_EQ(dialog.layouts().size(), 2u);
    EXPECT_EQ(dialog.layouts()[0], (CustomLayout{"Mine", "0957681"}));
    EXPECT_EQ(dialog.layouts()[1], (CustomLayout{"Listing A", "4957681"}));
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
    SiteProperties again(test::newDefaultSite(), test::fixedZones());
    ASSERT_EQ(again.layouts().size(), 3u);
    EXPECT_EQ(again.layouts()[2].name, "Say \"hi\"");
}

// A custom site opens with its layout by name, or with the default once that layout is gone.
TEST_F(SitePropertiesTest, CustomSiteTakesItsLayoutByName)
{
    writeFile(answerFile(), "\"Default\",0957681\n\"Listing A\",4957681\n\"Other\",4123456\n");
    TFTPServerInfo site = test::newDefaultSite();
    site.Answer = "4000000";
    site.AnswerName = "Vanished";
    SiteProperties vanished(site, test::fixedZones());
    EXPECT_EQ(vanished.selectedLayout(), 0);
    EXPECT_EQ(vanished.form.positions, PositionFieldsOf("0957681"));

    site.AnswerName = "other";
    SiteProperties dialog(site, test::fixedZones());
    EXPECT_TRUE(dialog.customPanelVisible());
    EXPECT_EQ(dialog.selectedLayout(), 2);
    EXPECT_EQ(dialog.form.positions, (PositionFields{"1", "2", "3", "4", "5", "6"}));
    dialog.selectLayout(1);
    EXPECT_EQ(dialog.form.positions, (PositionFields{"9", "5", "7", "6", "8", "1"}));
    dialog.form.name = "n";
    dialog.form.server = "s";
    dialog.form.positions[0] = "12";
    ASSERT_TRUE(dialog.save());
    EXPECT_EQ(dialog.result().Answer, "4c57681");
    EXPECT_EQ(dialog.result().AnswerName, "Listing A");
    EXPECT_EQ(readFile(answerFile()), "\"Default\",0957681\n\"Listing A\",4c57681\n\"Other\",4123456\n");
}

TEST_F(SitePropertiesTest, CorruptAnswerIsReplacedByTheDefault)
{
    for (const char* answer : {"", "495", "x957681", "04957681"}) {
        TFTPServerInfo site = test::newDefaultSite();
        site.Answer = answer;
        site.AnswerName = "junk";
        SiteProperties dialog(site, test::fixedZones(), "Standard");
        EXPECT_EQ(dialog.form.responseType, 0) << answer;
        dialog.form.name = "n";
        dialog.form.server = "s";
        ASSERT_TRUE(dialog.save());
        EXPECT_EQ(dialog.result().Answer, "0957681");
        EXPECT_EQ(dialog.result().AnswerName, "Standard");
    }
}

TEST_F(SitePropertiesTest, EditRenamesOrAddsAndDeleteSparesEntryZero)
{
    SiteProperties dialog(test::newDefaultSite(), test::fixedZones());
    dialog.editLayout("First");
    ASSERT_EQ(dialog.layouts().size(), 2u);
    EXPECT_EQ(dialog.selectedLayout(), 1);
    dialog.editLayout("Renamed");
    EXPECT_EQ(dialog.layouts()[1].name, "Renamed");
    EXPECT_TRUE(dialog.deleteLayout());
    EXPECT_EQ(dialog.layouts().size(), 1u);
    EXPECT_EQ(dialog.selectedLayout(), 0);
    EXPECT_FALSE(dialog.deleteLayout());
    EXPECT_EQ(dialog.layouts().size(), 1u);
}

TEST_F(SitePropertiesTest, EditingTheDialogLeavesTheCallersRecordAlone)
{
    const TFTPServerInfo site = test::newDefaultSite();
    SiteProperties dialog(site, test::fixedZones());
    dialog.form.name = "changed";
    dialog.form.server = "s";
    dialog.cancel();
    EXPECT_EQ(site.Name, "");
    EXPECT_EQ(dialog.result().Name, "");
}

// The Security combo: a new site offers explicit TLS if available; the choice is stored, and a value
// the form cannot show opens as plain.
TEST_F(SitePropertiesTest, SecurityChoiceIsShownAndStored)
{
    SiteProperties dialog(test::newDefaultSite(), test::fixedZones());
    ASSERT_EQ(SiteProperties::securityTexts().size(), 4u);
    EXPECT_EQ(SiteProperties::securityTexts()[dialog.form.security], "Explicit TLS if available");
    dialog.form.name = "s";
    dialog.form.server = "h";
    dialog.form.security = 3;
    ASSERT_TRUE(dialog.save());
    EXPECT_EQ(dialog.result().Security, 3);
    TFTPServerInfo odd = test::newDefaultSite();
    odd.Security = 9;
    EXPECT_EQ(SiteProperties(odd, test::fixedZones()).form.security, 0);
}
