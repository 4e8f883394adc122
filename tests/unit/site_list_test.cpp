#include "sites/password_scramble.h"
#include "sites/site_line.h"
#include "sites/site_list.h"

#include "site_fixtures.h"
#include "temp_home.h"

#include <gtest/gtest.h>

using namespace brisk;

namespace {

TFTPServerInfo site(const std::string& name, const std::string& password = "pw")
{
    TFTPServerInfo s = test::newDefaultSite();
    s.Name = name;
    s.Server = name + ".example.com";
    s.Password = password;
    return s;
}

std::vector<std::string> captions(const SiteList& list)
{
    std::vector<std::string> out;
    for (const SiteEntry& e : list.entries())
        out.push_back(e.caption);
    return out;
}

} // namespace

class SiteListTest : public TempHomeTest {
protected:
    std::string list(const std::string& folder = "") const { return home() + folder + "ftplist.TXT"; }
    size_t indexOf(const std::string& caption) const
    {
        const auto c = captions(sites);
        return static_cast<size_t>(std::find(c.begin(), c.end(), caption) - c.begin());
    }

    SiteList sites{SiteDefaults{}};
};

TEST_F(SiteListTest, LoadsFoldersAndSitesSortedByKindThenCaption)
{
    writeFile(list(), "Name=zeta;Server=z;\nDIR=Work\ngarbage line\nName=Alpha;Server=a;\ndir=archive\n"
                      "DiR=\nName=beta;Server=b;\n");
    ASSERT_TRUE(sites.LoadSiteList(""));
    EXPECT_EQ(captions(sites), (std::vector<std::string>{"", "archive", "Work", "Alpha", "beta", "zeta"}));
    EXPECT_EQ(sites.entries()[0].kind, SiteEntryKind::Folder);
    EXPECT_EQ(sites.entries()[5].kind, SiteEntryKind::Site);
    EXPECT_EQ(sites.entries()[5].site.Server, "z");
}

TEST_F(SiteListTest, MissingListFileShowsOnlyTheWayUp)
{
    ASSERT_TRUE(sites.LoadSiteList(""));
    EXPECT_TRUE(sites.entries().empty());
    ASSERT_TRUE(sites.LoadSiteList("Nowhere/"));
    ASSERT_EQ(sites.entries().size(), 1u);
    EXPECT_EQ(sites.entries()[0].kind, SiteEntryKind::Up);
    EXPECT_EQ(sites.CurrentSiteFolder(), "nowhere/");
}

TEST_F(SiteListTest, SavedListStoresPasswordsScrambledAndPrivately)
{
    sites.LoadSiteList("");
    size_t index = 0;
    ASSERT_TRUE(sites.addSite(site("one", "hunter2"), index).ok());
    EXPECT_EQ(modeOf(list()), 0600u);
    const std::string text = readFile(list());
    EXPECT_EQ(text.find("hunter2"), std::string::npos);
    EXPECT_NE(text.find("Password=" + ScramblePassword("hunter2") + ";"), std::string::npos);
    SiteList other{SiteDefaults{}};
    other.LoadSiteList("");
    ASSERT_EQ(other.entries().size(), 1u);
    EXPECT_EQ(other.entries()[0].site.Password, "hunter2");
}

TEST_F(SiteListTest, ListFileIsFoundWithoutRegardToCase)
{
    writeFile(home() + "Work/FTPLIST.txt", "Name=inside;Server=h;\n");
    ASSERT_TRUE(sites.LoadSiteList("work/"));
    EXPECT_EQ(captions(sites), (std::vector<std::string>{"..", "inside"}));
    size_t index = 0;
    ASSERT_TRUE(sites.addSite(site("second"), index).ok());
    EXPECT_NE(readFile(home() + "Work/FTPLIST.txt").find("Name=second;"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(home() + "work"));
}

TEST_F(SiteListTest, PathBoxKeepsTheWayBackDown)
{
    ASSERT_TRUE(sites.LoadSiteList("Work/Clients/"));
    EXPECT_EQ(sites.pathItems().items(), (std::vector<std::string>{"SERVER LIST ...", "work", "clients"}));
    EXPECT_EQ(sites.pathItems().selected(), 2);
    ASSERT_TRUE(sites.up());
    EXPECT_EQ(sites.CurrentSiteFolder(), "work/");
    EXPECT_EQ(sites.pathItems().items().size(), 3u);
    ASSERT_TRUE(sites.up());
    EXPECT_EQ(sites.CurrentSiteFolder(), "");
    EXPECT_FALSE(sites.up());
    ASSERT_TRUE(sites.selectPathItem(2));
    EXPECT_EQ(sites.CurrentSiteFolder(), "work/clients/");
    ASSERT_TRUE(sites.LoadSiteList("work/Other"));
    EXPECT_EQ(sites.pathItems().items(), (std::vector<std::string>{"SERVER LIST ...", "work", "other"}));
}

TEST_F(SiteListTest, OpeningFolderAndUpEntries)
{
    writeFile(list(), "DIR=Work\n");
    writeFile(list("Work/"), "Name=s;Server=h;\n");
    sites.LoadSiteList("");
    ASSERT_TRUE(sites.openEntry(0));
    EXPECT_EQ(sites.CurrentSiteFolder(), "work/");
    EXPECT_EQ(captions(sites), (std::vector<std::string>{"..", "s"}));
    ASSERT_TRUE(sites.openEntry(0));
    EXPECT_EQ(sites.CurrentSiteFolder(), "");
    EXPECT_FALSE(sites.openEntry(7));
}

TEST_F(SiteListTest, FolderPathsCannotLeaveTheProgramDirectory)
{
    writeFile(list(), "DIR=..\nDIR=a/b\nDIR=\n");
    sites.LoadSiteList("");
    for (size_t i = 0; i < sites.entries().size(); ++i)
        EXPECT_FALSE(sites.openEntry(i)) << sites.entries()[i].caption;
    EXPECT_FALSE(sites.LoadSiteList("../"));
    EXPECT_FALSE(sites.LoadSiteList("a//b/"));
    EXPECT_EQ(sites.CurrentSiteFolder(), "");
}

TEST_F(SiteListTest, MakeFolderCreatesDirectoryAndEntry)
{
    sites.LoadSiteList("");
    size_t index = 99;
    ASSERT_TRUE(sites.makeFolder("Clients", index).ok());
    EXPECT_TRUE(std::filesystem::is_directory(home() + "Clients"));
    EXPECT_EQ(sites.entries()[index].caption, "Clients");
    EXPECT_EQ(readFile(list()), "DIR=Clients\n");
    for (const char* bad : {"", ".", "..", "a/b"}) {
        const SiteListOutcome out = sites.makeFolder(bad, index);
        EXPECT_EQ(out.status, SiteListStatus::CannotCreateDirectory) << bad;
    }
    EXPECT_EQ(readFile(list()), "DIR=Clients\n");
}

TEST_F(SiteListTest, DeletedFolderComesBackWithItsSites)
{
    sites.LoadSiteList("");
    size_t index = 0;
    ASSERT_TRUE(sites.makeFolder("Old", index).ok());
    writeFile(list("Old/"), "Name=kept;Server=h;\n");
    ASSERT_TRUE(sites.deleteEntries({index}).ok());
    EXPECT_EQ(readFile(list()), "");
    EXPECT_TRUE(std::filesystem::exists(list("Old/")));
    ASSERT_TRUE(sites.makeFolder("Old", index).ok());
    ASSERT_TRUE(sites.openEntry(index));
    EXPECT_EQ(captions(sites), (std::vector<std::string>{"..", "kept"}));
}

// A folder without its directory ("Ghost") cannot be renamed either.
TEST_F(SiteListTest, RenameFolderOnlyWhenTheNewNameIsFreeAndTheDirectoryExists)
{
    writeFile(list(), "DIR=Work\nDIR=Home\nDIR=Ghost\n");
    std::filesystem::create_directories(home() + "Work");
    std::filesystem::create_directories(home() + "Home");
    sites.LoadSiteList("");
    EXPECT_EQ(sites.renameFolder(indexOf("Ghost"), "Real").status, SiteListStatus::Failed);
    EXPECT_NE(indexOf("Ghost"), sites.entries().size());
    EXPECT_EQ(sites.renameFolder(indexOf("Work"), "home").status, SiteListStatus::Failed);
    EXPECT_TRUE(std::filesystem::is_directory(home() + "Work"));
    EXPECT_EQ(readFile(list()), "DIR=Work\nDIR=Home\nDIR=Ghost\n");
    ASSERT_TRUE(sites.renameFolder(indexOf("Work"), "Jobs").ok());
    EXPECT_TRUE(std::filesystem::is_directory(home() + "Jobs"));
    EXPECT_FALSE(std::filesystem::exists(home() + "Work"));
    EXPECT_EQ(readFile(list()), "DIR=Ghost\nDIR=Home\nDIR=Jobs\n");
    ASSERT_TRUE(sites.renameFolder(indexOf("Jobs"), "JOBS").ok());
    EXPECT_TRUE(std::filesystem::is_directory(home() + "JOBS"));
    EXPECT_EQ(sites.renameFolder(indexOf("Home"), "../x").status, SiteListStatus::Failed);
}

TEST_F(SiteListTest, DeleteRemovesSelectedEntriesButNotTheWayUp)
{
    writeFile(list("Work/"), "Name=a;Server=h;\nName=b;Server=h;\nName=c;Server=h;\n");
    sites.LoadSiteList("Work/");
    ASSERT_TRUE(sites.deleteEntries({0, 1, 3, 3}).ok());
    EXPECT_EQ(captions(sites), (std::vector<std::string>{"..", "b"}));
    SiteList again{SiteDefaults{}};
    again.LoadSiteList("work/");
    EXPECT_EQ(captions(again), (std::vector<std::string>{"..", "b"}));
}

// Into a folder with a list, one that never held one, itself, or one whose list cannot be read.
TEST_F(SiteListTest, MoveSiteIntoFolder)
{
    sites.LoadSiteList("");
    size_t index = 0;
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
    EXPECT_EQ(captions(sites), (std::vector<std::string>{"Empty", "Locked", "Work", "stay"}));
    EXPECT_EQ(readFile(list()), before);
    EXPECT_EQ(before.rfind("DIR=Empty\nDIR=Locked\nDIR=Work\nName=stay;", 0), 0u) << "the moved sites left the list";
    EXPECT_EQ(before.find("Name=mov"), std::string::npos);

    SiteList work{SiteDefaults{}};
    work.LoadSiteList("work/");
    ASSERT_EQ(captions(work), (std::vector<std::string>{"..", "mover", "there"}));
    EXPECT_EQ(work.entries()[1].site.Password, "s3cret");
    SiteList empty{SiteDefaults{}};
    empty.LoadSiteList("empty/");
    EXPECT_EQ(captions(empty), (std::vector<std::string>{"..", "moved"}));
}

TEST_F(SiteListTest, ConvertOldServerListScramblesPlainPasswords)
{
    writeFile(list(), "Name=old;Server=h;Password=plain;\n");
    sites.LoadSiteList("");
    ASSERT_TRUE(sites.convertOldServerList().ok());
    EXPECT_EQ(sites.entries()[0].site.Password, "plain");
    SiteList again{SiteDefaults{}};
    again.LoadSiteList("");
    EXPECT_EQ(again.entries()[0].site.Password, "plain");
}

TEST_F(SiteListTest, SaveCreatesMissingFolderDirectoriesOrReportsTheOneItCannot)
{
    sites.LoadSiteList("A/B/");
    size_t index = 0;
    ASSERT_TRUE(sites.addSite(site("deep"), index).ok());
    EXPECT_TRUE(std::filesystem::exists(list("a/b/")));

    writeFile(home() + "blocker", "a file, not a directory");
    sites.LoadSiteList("blocker/");
    const SiteListOutcome out = sites.addSite(site("x"), index);
    EXPECT_EQ(out.status, SiteListStatus::CannotCreateDirectory);
    EXPECT_EQ(out.path, home() + "blocker/");
}

TEST_F(SiteListTest, ReplaceSiteUpdatesCaptionAndOrder)
{
    sites.LoadSiteList("");
    size_t index = 0;
    ASSERT_TRUE(sites.addSite(site("a"), index).ok());
    ASSERT_TRUE(sites.addSite(site("b"), index).ok());
    index = indexOf("a");
    TFTPServerInfo renamed = site("c");
    ASSERT_TRUE(sites.replaceSite(index, renamed).ok());
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(captions(sites), (std::vector<std::string>{"b", "c"}));
    size_t folder = 0;
    ASSERT_TRUE(sites.makeFolder("f", folder).ok());
    EXPECT_EQ(sites.replaceSite(folder, renamed).status, SiteListStatus::Failed);
}

TEST_F(SiteListTest, ReadsListFilesWithWindowsLineEndsAndBinaryJunk)
{
    static const char junk[] = "DIR=Work\r\nName=a;Server=h;\r\n\0\xff\xfe;=;==;\r\n\r\n";
    writeFile(list(), std::string(junk, sizeof junk - 1));
    ASSERT_TRUE(sites.LoadSiteList(""));
    EXPECT_EQ(captions(sites), (std::vector<std::string>{"Work", "a"}));
    EXPECT_EQ(sites.entries()[1].site.Server, "h");
}
