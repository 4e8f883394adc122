#include "sites/password_scramble.h"
#include "sites/site_line.h"
#include "sites/site_list.h"

#include "site_fixtures.h"
#include "temp_home.h"

#include <gtest/gtest.h>

namespace brisk::site_list_test {

using Strings = std::vector<std::string>;

SiteDefaults lineDefaults()
{
    SiteDefaults d;
    d.EMail = "me@example.org";
    d.TimeZone = 3;
    return d;
}

TFTPServerInfo defaultSite()
{
    TFTPServerInfo s;
    InitSiteDefaults(s, lineDefaults());
    return s;
}

TFTPServerInfo parsed(const std::string& line)
{
    TFTPServerInfo s;
    EXPECT_TRUE(ParseSiteLine(line, s, lineDefaults())) << line;
    return s;
}

// Keys missing from a line keep the defaults of a new site, except Security: a line from before it is
// a plain site. Unknown keys and keys in another case are ignored.
TEST(SiteLine, ExampleParsesAndSerializesBackAndMissingKeysKeepDefaults)
{
    const std::string example = "Name=Mirror;Port=21;User=guest;Anonymous=0;SavePassword=0;Pasv=1;Answer=0957681;"
                                "AnswerName=Default;CheckPSW=1;CheckVHost=0;TimeZone=1;TimeZoneV=-1;ShowHidden=0;MkDir=0;";
    TFTPServerInfo want = defaultSite();
    want.Security = 0;
    want.Name = "Mirror", want.User = "guest", want.Anonymous = 0, want.SavePassword = 0, want.Pasv = 1, want.TimeZone = 1;
    EXPECT_EQ(parsed(example), want);
    want.EMail.clear();
    EXPECT_EQ(SerializeSite(want), example);

    const TFTPServerInfo s = parsed("Server=h;Whatever=1;name=lower;");
    want = defaultSite();
    want.Server = "h";
    want.Security = 0;
    EXPECT_EQ(s, want);
    EXPECT_EQ(s.User + "|" + s.Port + "|" + s.AnswerName + "|" + s.EMail + "|" + std::to_string(s.TimeZone),
              "anonymous|21|Default|me@example.org|3");
}

TEST(SiteLine, FullRecordRoundTripsWithoutThePasswordInClear)
{
    TFTPServerInfo s = defaultSite();
    s.Name = "Work"; s.Server = "ftp.example.com"; s.Password = "p@ss w0rd"; s.User = "bob";
    s.Account = "acct"; s.Description = "desc"; s.LocalDir = "/home/bob"; s.InitialDir = "/pub";
    s.ModifiedDate = "2026-12-01"; s.Anonymous = 1; s.Pasv = 1; s.Desc = "line 1`line 2";
    s.Answer = "4957681"; s.AnswerName = "Listing A"; s.CheckPSW = 0; s.CheckVHost = 1;
    s.TimeZone = -12; s.TimeZoneV = 33; s.ShowHidden = 1; s.MkDir = 1;
    const std::string line = SerializeSite(s);
    EXPECT_EQ(line.find("p@ss"), std::string::npos);
    EXPECT_EQ(parsed(line), s);
}

TEST(SiteLine, PasswordsAreScrambledReversiblyWithoutBreakingTheLine)
{
    const std::string plain = "secret\xc3\x8a\x01";
    EXPECT_NE(ScramblePassword(plain), plain);
    EXPECT_EQ(ScramblePassword(ScramblePassword(plain)), plain);
    for (int c = 0x20; c < 0x7f; ++c)
        EXPECT_EQ(ScramblePassword(std::string(1, char(c))).find_first_of(";\r\n"), std::string::npos) << c;

    // Stored forms that hold separators survive; an empty password is no item.
    for (const std::string& password : {ScramblePassword(";"), ScramblePassword("a;b"), ScramblePassword("\n"),
                                        ScramblePassword("x\r"), std::string("\xc3\x8a"), std::string()}) {
        TFTPServerInfo s = defaultSite();
        s.Name = "n";
        s.Password = password;
        const std::string line = SerializeSite(s);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
        EXPECT_EQ(parsed(line).Password, password);
        if (password.empty()) {
            EXPECT_EQ(line.find(";Password"), std::string::npos);
        }
    }
    // A scrambled ";" in an old line cuts the password there.
    EXPECT_EQ(parsed("Name=n;Password=" + ScramblePassword("ab") + ";" + ScramblePassword("cd") + ";").Password, "ab");
}

TEST(SiteLine, TextValuesCannotInjectItemsOrLines)
{
    TFTPServerInfo s = defaultSite();
    s.Name = "evil;Server=attacker", s.Server = "real", s.Desc = "a\nb";
    const TFTPServerInfo back = parsed(SerializeSite(s));
    EXPECT_EQ(std::tie(back.Name, back.Server, back.Desc), std::tuple("evil", "real", "a"));
}

// The first item of a key wins; texts are cut to their length; a line without a known item is refused.
TEST(SiteLine, BadNumbersTakeTheirFallbacksAndTextsAreCut)
{
    const TFTPServerInfo s = parsed("Name=n;Anonymous=x;SavePassword=;Pasv=y;CheckPSW=z;CheckVHost=q;"
                                    "ShowHidden=-;MkDir=1.5;TimeZone=abc;TimeZoneV=7abc;");
    EXPECT_EQ((std::vector<int>{s.Anonymous, s.SavePassword, s.Pasv, s.CheckPSW, s.CheckVHost, s.ShowHidden, s.MkDir,
                                s.TimeZone, s.TimeZoneV}),
              (std::vector<int>{1, 1, 0, 1, 0, 0, 0, 3, 7}));
    EXPECT_EQ(parsed("Name=n;TimeZoneV=abc;").TimeZoneV, 0);
    EXPECT_EQ(parsed("Name=n;TimeZoneV=-4x;").TimeZoneV, -4);
    // Zones beyond twelve hours become zero.
    const std::pair<const char*, int> zones[] = {{"13", 0}, {"-13", 0}, {"12", 12}, {"-12", -12}, {"99999", 0}, {"5", 5}};
    for (const auto& [value, expected] : zones)
        EXPECT_EQ(parsed(std::string("Name=n;TimeZone=") + value + ";").TimeZone, expected) << value;

    const TFTPServerInfo cut = parsed("Name=" + std::string(80, 'n') + ";Port=1;Port=2;Answer=123456789;");
    EXPECT_EQ(std::tie(cut.Name, cut.Port, cut.Answer), std::tuple(std::string(50, 'n'), "1", "1234567"));
    TFTPServerInfo rejected;
    for (const char* line : {"", "garbage", ";;;", "Foo=1;"})
        EXPECT_FALSE(ParseSiteLine(line, rejected, lineDefaults())) << line;
}

TFTPServerInfo site(const std::string& name, const std::string& password = "pw")
{
    TFTPServerInfo s = test::newDefaultSite();
    s.Name = name;
    s.Server = name + ".example.com";
    s.Password = password;
    return s;
}

Strings captions(const SiteList& list)
{
    Strings out;
    for (const SiteEntry& e : list.entries())
        out.push_back(e.caption);
    return out;
}

class SiteListTest : public TempHomeTest {
protected:
    std::string list(const std::string& folder = "") const { return home() + folder + "ftplist.TXT"; }
    size_t indexOf(const std::string& caption) const
    {
        const Strings c = captions(sites);
        return size_t(std::find(c.begin(), c.end(), caption) - c.begin());
    }
    static SiteList reload(const std::string& folder)
    {
        SiteList other{SiteDefaults{}};
        EXPECT_TRUE(other.LoadSiteList(folder));
        return other;
    }

    SiteList sites{SiteDefaults{}};
    size_t index = 0;
};

TEST_F(SiteListTest, LoadsFoldersAndSitesSortedByKindThenCaption)
{
    writeFile(list(), "Name=zeta;Server=z;\nDIR=Work\ngarbage line\nName=Alpha;Server=a;\ndir=archive\n"
                      "DiR=\nName=beta;Server=b;\n");
    ASSERT_TRUE(sites.LoadSiteList(""));
    EXPECT_EQ(captions(sites), (Strings{"", "archive", "Work", "Alpha", "beta", "zeta"}));
    EXPECT_EQ(std::tie(sites.entries()[0].kind, sites.entries()[5].kind, sites.entries()[5].site.Server),
              std::tuple(SiteEntryKind::Folder, SiteEntryKind::Site, "z"));

    static const char junk[] = "DIR=Work\r\nName=a;Server=h;\r\n\0\xff\xfe;=;==;\r\n\r\n";
    writeFile(list(), std::string(junk, sizeof junk - 1));
    ASSERT_TRUE(sites.LoadSiteList(""));
    EXPECT_EQ(captions(sites), (Strings{"Work", "a"}));
    EXPECT_EQ(sites.entries()[1].site.Server, "h");
}

TEST_F(SiteListTest, MissingListFileShowsOnlyTheWayUp)
{
    ASSERT_TRUE(sites.LoadSiteList(""));
    EXPECT_TRUE(sites.entries().empty());
    ASSERT_TRUE(sites.LoadSiteList("Nowhere/"));
    EXPECT_EQ(captions(sites), Strings{".."});
    EXPECT_EQ(sites.entries()[0].kind, SiteEntryKind::Up);
    EXPECT_EQ(sites.CurrentSiteFolder(), "nowhere/");
}

TEST_F(SiteListTest, SavedListStoresPasswordsScrambledAndPrivately)
{
    sites.LoadSiteList("");
    ASSERT_TRUE(sites.addSite(site("one", "hunter2"), index).ok());
    EXPECT_EQ(modeOf(list()), 0600u);
    const std::string text = readFile(list());
    EXPECT_EQ(text.find("hunter2"), std::string::npos);
    EXPECT_NE(text.find("Password=" + ScramblePassword("hunter2") + ";"), std::string::npos);
    EXPECT_EQ(reload("").entries().at(0).site.Password, "hunter2");
}

TEST_F(SiteListTest, ListFileIsFoundWithoutRegardToCase)
{
    writeFile(home() + "Work/FTPLIST.txt", "Name=inside;Server=h;\n");
    ASSERT_TRUE(sites.LoadSiteList("work/"));
    EXPECT_EQ(captions(sites), (Strings{"..", "inside"}));
    ASSERT_TRUE(sites.addSite(site("second"), index).ok());
    EXPECT_NE(readFile(home() + "Work/FTPLIST.txt").find("Name=second;"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(home() + "work"));
}

TEST_F(SiteListTest, PathBoxKeepsTheWayBackDown)
{
    ASSERT_TRUE(sites.LoadSiteList("Work/Clients/"));
    EXPECT_EQ(sites.pathItems().items(), (Strings{"SERVER LIST ...", "work", "clients"}));
    EXPECT_EQ(sites.pathItems().selected(), 2);
    ASSERT_TRUE(sites.up());
    EXPECT_EQ(sites.CurrentSiteFolder(), "work/");
    EXPECT_EQ(sites.pathItems().items().size(), 3u);
    EXPECT_TRUE(sites.up() && sites.CurrentSiteFolder().empty());
    EXPECT_FALSE(sites.up());
    ASSERT_TRUE(sites.selectPathItem(2));
    EXPECT_EQ(sites.CurrentSiteFolder(), "work/clients/");
    ASSERT_TRUE(sites.LoadSiteList("work/Other"));
    EXPECT_EQ(sites.pathItems().items(), (Strings{"SERVER LIST ...", "work", "other"}));
}

TEST_F(SiteListTest, OpeningFolderAndUpEntriesButNeverOutOfTheProgramDirectory)
{
    writeFile(list(), "DIR=Work\n");
    writeFile(list("Work/"), "Name=s;Server=h;\n");
    sites.LoadSiteList("");
    ASSERT_TRUE(sites.openEntry(0));
    EXPECT_EQ(sites.CurrentSiteFolder(), "work/");
    EXPECT_EQ(captions(sites), (Strings{"..", "s"}));
    ASSERT_TRUE(sites.openEntry(0));
    EXPECT_EQ(sites.CurrentSiteFolder(), "");
    EXPECT_FALSE(sites.openEntry(7));

    writeFile(list(), "DIR=..\nDIR=a/b\nDIR=\n");
    sites.LoadSiteList("");
    for (size_t i = 0; i < sites.entries().size(); ++i)
        EXPECT_FALSE(sites.openEntry(i)) << sites.entries()[i].caption;
    EXPECT_FALSE(sites.LoadSiteList("../"));
    EXPECT_FALSE(sites.LoadSiteList("a//b/"));
    EXPECT_EQ(sites.CurrentSiteFolder(), "");
}

// A deleted folder keeps its directory, so making it again brings back its sites.
TEST_F(SiteListTest, MakeAndDeleteFolders)
{
    sites.LoadSiteList("");
    ASSERT_TRUE(sites.makeFolder("Clients", index).ok());
    EXPECT_TRUE(std::filesystem::is_directory(home() + "Clients"));
    EXPECT_EQ(sites.entries()[index].caption, "Clients");
    EXPECT_EQ(readFile(list()), "DIR=Clients\n");
    for (const char* bad : {"", ".", "..", "a/b"})
        EXPECT_EQ(sites.makeFolder(bad, index).status, SiteListStatus::CannotCreateDirectory) << bad;
    EXPECT_EQ(readFile(list()), "DIR=Clients\n");

    writeFile(list("Clients/"), "Name=kept;Server=h;\n");
    ASSERT_TRUE(sites.deleteEntries({indexOf("Clients")}).ok());
    EXPECT_EQ(readFile(list()), "");
    ASSERT_TRUE(sites.makeFolder("Clients", index).ok());
    ASSERT_TRUE(sites.openEntry(index));
    EXPECT_EQ(captions(sites), (Strings{"..", "kept"}));
}

// A folder without its directory ("Ghost") cannot be renamed either.
TEST_F(SiteListTest, RenameFolderOnlyWhenTheNewNameIsFreeAndTheDirectoryExists)
{
    writeFile(list(), "DIR=Work\nDIR=Home\nDIR=Ghost\n");
    for (const char* folder : {"Work", "Home"})
        std::filesystem::create_directories(home() + folder);
    sites.LoadSiteList("");
    EXPECT_EQ(sites.renameFolder(indexOf("Ghost"), "Real").status, SiteListStatus::Failed);
    EXPECT_NE(indexOf("Ghost"), sites.entries().size());
    EXPECT_EQ(sites.renameFolder(indexOf("Work"), "home").status, SiteListStatus::Failed);
    EXPECT_TRUE(std::filesystem::is_directory(home() + "Work"));
    EXPECT_EQ(readFile(list()), "DIR=Work\nDIR=Home\nDIR=Ghost\n");
    ASSERT_TRUE(sites.renameFolder(indexOf("Work"), "Jobs").ok());
    EXPECT_EQ(readFile(list()), "DIR=Ghost\nDIR=Home\nDIR=Jobs\n");
    ASSERT_TRUE(sites.renameFolder(indexOf("Jobs"), "JOBS").ok());
    EXPECT_TRUE(std::filesystem::is_directory(home() + "JOBS"));
    EXPECT_FALSE(std::filesystem::exists(home() + "Work"));
    EXPECT_EQ(sites.renameFolder(indexOf("Home"), "../x").status, SiteListStatus::Failed);
}

TEST_F(SiteListTest, DeleteRemovesSelectedEntriesButNotTheWayUp)
{
    writeFile(list("Work/"), "Name=a;Server=h;\nName=b;Server=h;\nName=c;Server=h;\n");
    sites.LoadSiteList("Work/");
    ASSERT_TRUE(sites.deleteEntries({0, 1, 3, 3}).ok());
    EXPECT_EQ(captions(sites), (Strings{"..", "b"}));
    EXPECT_EQ(captions(reload("work/")), (Strings{"..", "b"}));
}

// Into a folder with a list, one that never held one, itself, or one whose list cannot be read.
TEST_F(SiteListTest, MoveSiteIntoFolder)
{
    sites.LoadSiteList("");
    for (const char* folder : {"Work", "Empty", "Locked"})
        ASSERT_TRUE(sites.makeFolder(folder, index).ok());
    writeFile(list("Work/"), "Name=there;Server=h;\n");
    std::filesystem::create_directories(list("Locked/"));  // a directory where the list file should be
    for (const char* name : {"mover", "moved", "stay"})
        ASSERT_TRUE(sites.addSite(site(name, std::string(name) == "mover" ? "s3cret" : "pw"), index).ok());
    ASSERT_TRUE(sites.moveSiteIntoFolder(indexOf("mover"), indexOf("Work")).ok());
    ASSERT_TRUE(sites.moveSiteIntoFolder(indexOf("moved"), indexOf("Empty")).ok());
    EXPECT_EQ(sites.moveSiteIntoFolder(indexOf("Empty"), indexOf("Empty")).status, SiteListStatus::Failed);
    const std::string before = readFile(list());
    EXPECT_EQ(sites.moveSiteIntoFolder(indexOf("stay"), indexOf("Locked")).status, SiteListStatus::Failed);
    EXPECT_EQ(captions(sites), (Strings{"Empty", "Locked", "Work", "stay"}));
    EXPECT_EQ(readFile(list()), before);
    EXPECT_EQ(before.rfind("DIR=Empty\nDIR=Locked\nDIR=Work\nName=stay;", 0), 0u) << "the moved sites left the list";
    EXPECT_EQ(before.find("Name=mov"), std::string::npos);

    const SiteList work = reload("work/");
    ASSERT_EQ(captions(work), (Strings{"..", "mover", "there"}));
    EXPECT_EQ(work.entries()[1].site.Password, "s3cret");
    EXPECT_EQ(captions(reload("empty/")), (Strings{"..", "moved"}));
}

TEST_F(SiteListTest, ConvertOldServerListScramblesPlainPasswords)
{
    writeFile(list(), "Name=old;Server=h;Password=plain;\n");
    sites.LoadSiteList("");
    ASSERT_TRUE(sites.convertOldServerList().ok());
    EXPECT_EQ(sites.entries()[0].site.Password, "plain");
    EXPECT_EQ(reload("").entries().at(0).site.Password, "plain");
    EXPECT_EQ(readFile(list()).find("plain"), std::string::npos);
}

TEST_F(SiteListTest, SaveCreatesMissingFolderDirectoriesOrReportsTheOneItCannot)
{
    sites.LoadSiteList("A/B/");
    ASSERT_TRUE(sites.addSite(site("deep"), index).ok());
    EXPECT_TRUE(std::filesystem::exists(list("a/b/")));

    writeFile(home() + "blocker", "a file, not a directory");
    sites.LoadSiteList("blocker/");
    const SiteListOutcome out = sites.addSite(site("x"), index);
    EXPECT_EQ(std::pair(out.status, out.path), std::pair(SiteListStatus::CannotCreateDirectory, home() + "blocker/"));
}

TEST_F(SiteListTest, ReplaceSiteUpdatesCaptionAndOrder)
{
    sites.LoadSiteList("");
    ASSERT_TRUE(sites.addSite(site("a"), index).ok());
    ASSERT_TRUE(sites.addSite(site("b"), index).ok());
    index = indexOf("a");
    ASSERT_TRUE(sites.replaceSite(index, site("c")).ok());
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(captions(sites), (Strings{"b", "c"}));
    ASSERT_TRUE(sites.makeFolder("f", index).ok());
    EXPECT_EQ(sites.replaceSite(index, site("c")).status, SiteListStatus::Failed);
}

} // namespace brisk::site_list_test
