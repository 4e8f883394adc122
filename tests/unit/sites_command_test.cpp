#include "app/cli/password_prompt.h"
#include "app/cli/sites_command.h"
#include "sites/site_list.h"

#include "temp_home.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

using namespace brisk;

namespace {

TFTPServerInfo namedSite(const std::string& name, const std::string& server)
{
    TFTPServerInfo s;
    InitSiteDefaults(s, SiteDefaults{"guest@example.org", 0, "Default"});
    s.Name = name;
    s.Server = server;
    return s;
}

} // namespace

class SitesCommandTest : public TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        SiteList list{SiteDefaults{}};
        list.LoadSiteList("");
        size_t index = 0;
        ASSERT_TRUE(list.makeFolder("Work", index).ok());
        TFTPServerInfo main = namedSite("Main", "ftp://ftp.example.com:2121/pub");
        main.User = "bob";
        main.Password = "s3cret";
        main.Pasv = 1;
        ASSERT_TRUE(list.addSite(main, index).ok());
        TFTPServerInfo anon = namedSite("Anon", "mirror.example.org");
        anon.Anonymous = 1;
        anon.Pasv = 0;
        anon.Answer = "7957681";
        ASSERT_TRUE(list.addSite(anon, index).ok());
        TFTPServerInfo ask = namedSite("Ask", "ask.example.org");
        ask.User = "carol";
        ask.Password = "kept";
        ask.SavePassword = 0;
        ASSERT_TRUE(list.addSite(ask, index).ok());

        ASSERT_TRUE(list.openEntry(0));
        TFTPServerInfo inner = namedSite("Inner", "eve:pw@inner.example.net");
        inner.User = "ignored";
        inner.Answer = "4123456";
        inner.AnswerName = "Mine";
        ASSERT_TRUE(list.addSite(inner, index).ok());
    }

    int run(const std::vector<std::string>& args)
    {
        out.str("");
        err.str("");
        return runSitesCommand(args, out, err);
    }

    std::ostringstream out, err;
};

TEST_F(SitesCommandTest, ListsFoldersThenSites)
{
    ASSERT_EQ(run({}), 0) << err.str();
    EXPECT_EQ(out.str(),
              "folder\tWork\n"
              "site\tAnon\tserver=mirror.example.org\tport=21\tuser=anonymous\tpassword=none\ttype=UNIX,BSD,WU-FTP server\n"
              "site\tAsk\tserver=ask.example.org\tport=21\tuser=carol\tpassword=saved\ttype=Default\n"
              "site\tMain\tserver=ftp://ftp.example.com:2121/pub\tport=21\tuser=bob\tpassword=saved\ttype=Default\n");
    EXPECT_TRUE(err.str().empty());
}

TEST_F(SitesCommandTest, ListsASubFolderInAnyCase)
{
    for (const char* folder : {"Work", "work/", "WORK"}) {
        ASSERT_EQ(run({folder}), 0) << folder;
        EXPECT_EQ(out.str(), "site\tInner\tserver=eve:pw@inner.example.net\tport=21\tuser=ignored\tpassword=none\t"
                             "type=Custom (Mine)\n");
    }
}

TEST_F(SitesCommandTest, UsageErrorsAndMissingFolders)
{
    const std::vector<std::vector<std::string>> bad = {{"a", "b"}, {"Nowhere"}, {"../.."}, {"Work//x"}};
    for (const auto& args : bad) {
        EXPECT_EQ(run(args), 1) << args[0];
        EXPECT_FALSE(err.str().empty());
        EXPECT_TRUE(out.str().empty());
    }
}

// Saved password, anonymous with the e-mail, no saved password (asked for), and a site in a folder
// whose server field carries the login; names that are no stored site are reported.
TEST_F(SitesCommandTest, ResolvesStoredSites)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Main", "ftp.example.com 2121 bob s3cret /pub passive"},
        {"anon", "mirror.example.org 21 anonymous guest@example.org  active"},
        {"Ask", "ask.example.org 21 carol   passive asks"},
        {"work/Inner", "inner.example.net 21 eve pw  passive"},
    };
    for (const auto& [ref, expected] : cases) {
        StoredSiteLogin l;
        std::string error;
        ASSERT_TRUE(resolveStoredSite(ref, l, error)) << error;
        EXPECT_EQ(l.host + " " + l.port + " " + l.user + " " + l.password + " " + l.initialDir +
                      (l.passive ? " passive" : " active") + (l.needsPassword ? " asks" : ""),
                  expected);
    }
    StoredSiteLogin login;
    for (const char* ref : {"Nobody", "Work/Main", "Nowhere/Main", "", "Work/", "../Main"}) {
        std::string error;
        EXPECT_FALSE(resolveStoredSite(ref, login, error)) << ref;
        EXPECT_FALSE(error.empty()) << ref;
    }
}

TEST(PasswordPrompt, ReadsOneLineWithoutItsEnd)
{
    std::istringstream input("pa ss\r\nnext\n");
    std::streambuf* saved = std::cin.rdbuf(input.rdbuf());
    const std::string first = readPasswordNoEcho("Password: ");
    const std::string second = readPasswordNoEcho("Again: ");
    std::cin.rdbuf(saved);
    EXPECT_EQ(first, "pa ss");
    EXPECT_EQ(second, "next");
}
