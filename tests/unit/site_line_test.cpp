#include "sites/password_scramble.h"
#include "sites/site_line.h"

#include <gtest/gtest.h>

using namespace brisk;

namespace {

const char* const kExample =
    "Name=Mirror;Port=21;User=guest;Anonymous=0;SavePassword=0;Pasv=1;Answer=0957681;AnswerName=Default;"
    "CheckPSW=1;CheckVHost=0;TimeZone=1;TimeZoneV=-1;ShowHidden=0;MkDir=0;";

SiteDefaults defaults()
{
    SiteDefaults d;
    d.EMail = "me@example.org";
    d.TimeZone = 3;
    return d;
}

TFTPServerInfo parsed(const std::string& line)
{
    TFTPServerInfo s;
    EXPECT_TRUE(ParseSiteLine(line, s, defaults())) << line;
    return s;
}

} // namespace

TEST(SiteLine, ExampleParsesAndSerializesBack)
{
    const TFTPServerInfo s = parsed(kExample);
    EXPECT_EQ(s.Name, "Mirror");
    EXPECT_EQ(s.Port, "21");
    EXPECT_EQ(s.User, "guest");
    EXPECT_EQ(s.Anonymous, 0);
    EXPECT_EQ(s.SavePassword, 0);
    EXPECT_EQ(s.Pasv, 1);
    EXPECT_EQ(s.TimeZone, 1);
    EXPECT_EQ(s.TimeZoneV, -1);
    EXPECT_EQ(s.Password, "");
    EXPECT_EQ(s.EMail, "me@example.org");
    TFTPServerInfo noMail = s;
    noMail.EMail.clear();
    EXPECT_EQ(SerializeSite(noMail), kExample);
}

TEST(SiteLine, FullRecordRoundTrips)
{
    TFTPServerInfo s;
    InitSiteDefaults(s, defaults());
    s.Name = "Work"; s.Server = "ftp.example.com"; s.Password = "p@ss w0rd"; s.User = "bob";
    s.Account = "acct"; s.Description = "desc"; s.LocalDir = "/home/bob"; s.InitialDir = "/pub";
    s.ModifiedDate = "2026-12-01"; s.Anonymous = 1; s.Pasv = 1; s.Desc = "line 1`line 2";
    s.Answer = "4957681"; s.AnswerName = "Listing A"; s.CheckPSW = 0; s.CheckVHost = 1;
    s.TimeZone = -12; s.TimeZoneV = 33; s.ShowHidden = 1; s.MkDir = 1;
    const std::string line = SerializeSite(s);
    EXPECT_EQ(line.find("p@ss"), std::string::npos) << "password stored in clear";
    EXPECT_EQ(parsed(line), s);
}

TEST(SiteLine, PasswordIsScrambledReversibly)
{
    const std::string plain = "secret\xc3\x8a\x01";
    EXPECT_NE(ScramblePassword(plain), plain);
    EXPECT_EQ(ScramblePassword(ScramblePassword(plain)), plain);
    for (int c = 0x20; c < 0x7f; ++c) {
        const std::string stored = ScramblePassword(std::string(1, char(c)));
        EXPECT_EQ(stored.find_first_of(";\r\n"), std::string::npos) << c;
    }
}

TEST(SiteLine, PasswordWhoseStoredFormHoldsSeparatorsSurvivesAndAnEmptyOneIsNoItem)
{
    const std::string tricky[] = {ScramblePassword(";"), ScramblePassword("a;b"), ScramblePassword("\n"),
                                  ScramblePassword("x\r"), "\xc3\x8a", ""};
    for (const std::string& password : tricky) {
        TFTPServerInfo s;
        InitSiteDefaults(s, defaults());
        s.Name = "n";
        s.Password = password;
        const std::string line = SerializeSite(s);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
        EXPECT_EQ(parsed(line).Password, password);
        if (password.empty()) {
            EXPECT_EQ(line.find(";Password="), std::string::npos) << "no item for an empty password";
        }
    }
}

TEST(SiteLine, ScrambledSemicolonInOldLinesIsCut)
{
    const std::string line = "Name=n;Password=" + ScramblePassword("ab") + ";" + ScramblePassword("cd") + ";";
    EXPECT_EQ(parsed(line).Password, "ab");
}

TEST(SiteLine, TextValuesCannotInjectItemsOrLines)
{
    TFTPServerInfo s;
    InitSiteDefaults(s, defaults());
    s.Name = "evil;Server=attacker";
    s.Server = "real";
    s.Desc = "a\nb";
    const TFTPServerInfo back = parsed(SerializeSite(s));
    EXPECT_EQ(back.Name, "evil");
    EXPECT_EQ(back.Server, "real");
    EXPECT_EQ(back.Desc, "a");
}

TEST(SiteLine, BadNumbersTakeTheirFallbacks)
{
    const TFTPServerInfo s = parsed("Name=n;Anonymous=x;SavePassword=;Pasv=y;CheckPSW=z;CheckVHost=q;"
                                    "ShowHidden=-;MkDir=1.5;TimeZone=abc;TimeZoneV=7abc;");
    EXPECT_EQ(s.Anonymous, 1);
    EXPECT_EQ(s.SavePassword, 1);
    EXPECT_EQ(s.Pasv, 0);
    EXPECT_EQ(s.CheckPSW, 1);
    EXPECT_EQ(s.CheckVHost, 0);
    EXPECT_EQ(s.ShowHidden, 0);
    EXPECT_EQ(s.MkDir, 0);
    EXPECT_EQ(s.TimeZone, 3);
    EXPECT_EQ(s.TimeZoneV, 7);
    EXPECT_EQ(parsed("Name=n;TimeZoneV=abc;").TimeZoneV, 0);
    EXPECT_EQ(parsed("Name=n;TimeZoneV=-4x;").TimeZoneV, -4);
}

TEST(SiteLine, TimeZoneOutsideTwelveHoursBecomesZero)
{
    const struct {
        const char* value;
        int16_t expected;
    } cases[] = {{"13", 0}, {"-13", 0}, {"12", 12}, {"-12", -12}, {"99999", 0}, {"5", 5}};
    for (const auto& c : cases)
        EXPECT_EQ(parsed(std::string("Name=n;TimeZone=") + c.value + ";").TimeZone, c.expected) << c.value;
}

TEST(SiteLine, MissingKeysKeepDefaultsAndUnknownKeysAreIgnored)
{
    const TFTPServerInfo s = parsed("Server=h;Whatever=1;name=lower;");
    EXPECT_EQ(s.Server, "h");
    EXPECT_EQ(s.Name, "");
    EXPECT_EQ(s.User, "anonymous");
    EXPECT_EQ(s.Port, "21");
    EXPECT_EQ(s.SavePassword, 1);
    EXPECT_EQ(s.Answer, "0957681");
    EXPECT_EQ(s.AnswerName, "Default");
    EXPECT_EQ(s.CheckPSW, 1);
    EXPECT_EQ(s.TimeZone, 3);
    EXPECT_EQ(s.TimeZoneV, -1);
    EXPECT_EQ(s.EMail, "me@example.org");
}

TEST(SiteLine, FirstItemOfAKeyWinsAndTextsAreCut)
{
    const std::string longName(80, 'n');
    const TFTPServerInfo s = parsed("Name=" + longName + ";Port=1;Port=2;Answer=123456789;");
    EXPECT_EQ(s.Name, std::string(50, 'n'));
    EXPECT_EQ(s.Port, "1");
    EXPECT_EQ(s.Answer, "1234567");
}

TEST(SiteLine, LinesWithoutKnownItemsAreRejected)
{
    TFTPServerInfo s;
    for (const char* line : {"", "garbage", ";;;", "Foo=1;"})
        EXPECT_FALSE(ParseSiteLine(line, s, defaults())) << line;
}
