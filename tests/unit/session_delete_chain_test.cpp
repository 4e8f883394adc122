#include "tree_session_test.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace brisk::test {
namespace {

using Strings = std::vector<std::string>;

class DeleteChainTest : public TreeSessionTest {
protected:
    void SetUp() override
    {
        TreeSessionTest::SetUp();
        server.addFile("/keep.txt");
        server.addFile("/f1.txt");
        server.addFile("/f2.txt");
        server.addFile("/t/a.txt");
        server.addFile("/t/s1/b.txt");
        server.addFile("/t/s2/c.txt");
    }
    Strings deleteSelected(const Strings& names)
    {
        select(names);
        rig->ui.answerYes();
        return run([&] { rig->c.DeleteRemote(); });
    }
};

struct TreeCase {
    const char* name;
    const char* answer;
    bool windowsListings;
    std::vector<std::string> expected;
};

class DeleteTreeTranscript : public DeleteChainTest, public ::testing::WithParamInterface<TreeCase> {};

// Files first, then each directory entered and listed once in the order found, then the
// directories removed in reverse; the panel ends in the base directory showing what is left.
TEST_P(DeleteTreeTranscript, DeletesTheWholeTreeAndReturns)
{
    if (GetParam().windowsListings)
        server.useWindowsListings();
    ASSERT_TRUE(open(GetParam().answer));
    EXPECT_EQ(deleteSelected({"f1.txt", "f2.txt", "t"}), GetParam().expected);
    EXPECT_EQ(rig->ui.questions.at(0).caption + ": " + rig->ui.questions.at(0).text,
              "Attention: Do you wish to remove \"t/\", \"f1.txt\" and \"f2.txt\"?");
    EXPECT_EQ(server.paths(), (Strings{"/", "/keep.txt"}));
    EXPECT_EQ(rig->captions(), (Strings{"keep.txt"}));
    EXPECT_EQ(rig->c.Ftp1.HostDirName, "/");
}

const Strings kScanned = {
    "DELE f1.txt", "DELE f2.txt",
    "CWD /t", "LIST", "DELE a.txt",
    "CWD /t/s1", "LIST", "DELE b.txt",
    "CWD /t/s2", "LIST", "DELE c.txt",
};

Strings withTail(Strings tail)
{
    Strings all = kScanned;
    all.insert(all.end(), tail.begin(), tail.end());
    return all;
}

INSTANTIATE_TEST_SUITE_P(
    ResponseTypes, DeleteTreeTranscript,
    ::testing::Values(
        // The current directory is left with CDUP before it is removed; the others go by their paths.
        TreeCase{"Unix", "0957681", false,
                 withTail({"CDUP", "RMD /t/s2", "RMD /t/s1", "CDUP", "RMD /t", "CWD /", "LIST"})},
        // Type 8 removes a directory only by its name from its parent; a top-level one from "/".
        TreeCase{"Windows2000", "8", true,
                 withTail({"CWD /t", "RMD s2", "RMD /t/s1", "CWD /", "RMD t", "CWD /", "LIST"})}),
    [](const auto& info) { return std::string(info.param.name); });

// On a virtual host at its root the base directory has no path: the chain steps out with CDUP
// and comes back with PWD, never with an empty CWD.
TEST_F(DeleteChainTest, VirtualHostAtTheRootReturnsWithPwd)
{
    for (const char* answer : {"0957681", "8"}) {
        SCOPED_TRACE(answer);
        server.addFile("/v/x.txt");
        if (answer[0] == '8')
            server.useWindowsListings();
        ASSERT_TRUE(open(answer, true));
        EXPECT_EQ(deleteSelected({"v"}), (Strings{"CWD v", "LIST", "DELE x.txt", "CDUP", "RMD v", "PWD", "LIST"}));
        EXPECT_FALSE(server.exists("/v"));
        EXPECT_EQ(rig->rowOf("v"), -1);
    }
}

TEST_F(DeleteChainTest, ASymbolicLinkIsDeletedAsAFileNeverEntered)
{
    server.addLink("/t/www", "../public_html");
    server.addFile("/public_html/index.html");
    server.addLink("/site", "/public_html");
    ASSERT_TRUE(open());
    EXPECT_EQ(deleteSelected({"site", "t"}),
              (Strings{"DELE site", "CWD /t", "LIST", "DELE a.txt", "DELE www", "CWD /t/s1", "LIST", "DELE b.txt",
                       "CWD /t/s2", "LIST", "DELE c.txt", "CDUP", "RMD /t/s2", "RMD /t/s1", "CDUP", "RMD /t",
                       "CWD /", "LIST"}));
    EXPECT_TRUE(server.exists("/public_html/index.html"));
    EXPECT_FALSE(server.exists("/site"));
    EXPECT_FALSE(server.exists("/t"));
}

// Names no directory can hold are refused with a log line and counted: an empty or "." name would
// make the scan enter the same directory again and again, "/" or ".." would leave the tree, CR, LF
// or NUL would break the command. The directory holding them stays, as does the one above it; a
// sibling is still deleted.
TEST_F(DeleteChainTest, UnusableNamesAreCountedAndKeepTheirDirectory)
{
    server.addFile("/h/ok.txt");
    server.addFile("/h/sub/x.txt");
    server.setRawListing("/h/sub",
                         "drwxr-xr-x   1 o g 0 Jan 01  2020 ../t\r\n"
                         "-rw-r--r--   1 o g 1 Jan 01  2020 a/b\r\n"
                         "-rw-r--r--   1 o g 1 Jan 01  2020 nul" + std::string(1, '\0') + "name\r\n"
                         "-rw-r--r--   1 o g 1 Jan 01  2020 cr\rname\r\n"
                         "-rw-r--r--   1 o g 1 Jan 01  2020 x.txt\r\n");
    server.addFile("/h/side/y.txt");
    ASSERT_TRUE(open());
    EXPECT_EQ(deleteSelected({"h"}),
              (Strings{"CWD /h", "LIST", "DELE ok.txt", "CWD /h/side", "LIST", "DELE y.txt", "CWD /h/sub", "LIST",
                       "DELE x.txt", "RMD /h/side", "CWD /", "LIST"}));
    EXPECT_EQ(server.paths(), (Strings{"/", "/f1.txt", "/f2.txt", "/h", "/h/sub", "/keep.txt", "/t", "/t/a.txt",
                                       "/t/s1", "/t/s1/b.txt", "/t/s2", "/t/s2/c.txt"}));
    EXPECT_EQ(loggedWith("Skipped \"../t\" in /h/sub/"),
              (Strings{"Skipped \"../t\" in /h/sub/: not a name that can be deleted"}));
    EXPECT_EQ(loggedWith("Delete finished"), (Strings{"Delete finished: 4 deleted, 4 failed"}));
    EXPECT_EQ(loggedWith("Failed: "), (Strings{"Failed: /h/sub/../t", "Failed: /h/sub/a/b", "Failed: /h/sub/nul?name",
                                               "Failed: /h/sub/cr?name"}));
}

struct FailureCase {
    const char* name;
    const char* failingLine;      // answered 550, or
    const char* unlistedDir;      // the directory whose LIST is answered 550
    std::vector<std::string> expected;
    std::vector<std::string> left;
    std::vector<std::string> closing;
};

class DeleteFailure : public DeleteChainTest, public ::testing::WithParamInterface<FailureCase> {};

// A refused DELE or RMD ends the chain: nothing more is deleted. A directory that cannot be entered
// or listed is kept whole with the directories above it, and its siblings are still deleted.
// Either way the panel returns to the base directory, with the flags cleared so that no later
// completion resumes the chain, and the closing lines name what failed.
TEST_P(DeleteFailure, StaysInsideTheFailureAndReturnsToTheBase)
{
    if (*GetParam().failingLine)
        server.peer().onLine(GetParam().failingLine, "550 Permission denied.\r\n");
    else
        server.failListing(GetParam().unlistedDir, "550 Permission denied.\r\n");
    ASSERT_TRUE(open());
    EXPECT_EQ(deleteSelected({"f1.txt", "t"}), GetParam().expected);
    EXPECT_EQ(server.paths(), GetParam().left);
    EXPECT_EQ(loggedWith("Error").size(), 1u);
    EXPECT_EQ(rig->c.Ftp1.HostDirName, "/");
    EXPECT_NE(rig->rowOf("keep.txt"), -1);
    Strings closing = loggedWith("Delete finished");
    const Strings failures = loggedWith("Failed: ");
    closing.insert(closing.end(), failures.begin(), failures.end());
    EXPECT_EQ(closing, GetParam().closing);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, DeleteFailure,
    ::testing::Values(
        FailureCase{"Dele", "DELE b.txt", "",
                    {"DELE f1.txt", "CWD /t", "LIST", "DELE a.txt", "CWD /t/s1", "LIST", "DELE b.txt", "CWD /", "LIST"},
                    {"/", "/f2.txt", "/keep.txt", "/t", "/t/s1", "/t/s1/b.txt", "/t/s2", "/t/s2/c.txt"},
                    {"Delete finished: 2 deleted, 1 failed", "Failed: /t/s1/b.txt"}},
        FailureCase{"Cwd", "CWD /t/s2", "",
                    {"DELE f1.txt", "CWD /t", "LIST", "DELE a.txt", "CWD /t/s1", "LIST", "DELE b.txt", "CWD /t/s2",
                     "CDUP", "RMD /t/s1", "CWD /", "LIST"},
                    {"/", "/f2.txt", "/keep.txt", "/t", "/t/s2", "/t/s2/c.txt"},
                    {"Delete finished: 4 deleted, 1 failed", "Failed: /t/s2"}},
        FailureCase{"List", "", "/t/s1",
                    {"DELE f1.txt", "CWD /t", "LIST", "DELE a.txt", "CWD /t/s1", "LIST", "CWD /t/s2", "LIST",
                     "DELE c.txt", "CDUP", "RMD /t/s2", "CWD /", "LIST"},
                    {"/", "/f2.txt", "/keep.txt", "/t", "/t/s1", "/t/s1/b.txt"},
                    {"Delete finished: 4 deleted, 1 failed", "Failed: /t/s1"}},
        FailureCase{"Rmd", "RMD /t/s1", "",
                    {"DELE f1.txt", "CWD /t", "LIST", "DELE a.txt", "CWD /t/s1", "LIST", "DELE b.txt", "CWD /t/s2",
                     "LIST", "DELE c.txt", "CDUP", "RMD /t/s2", "RMD /t/s1", "CWD /", "LIST"},
                    {"/", "/f2.txt", "/keep.txt", "/t", "/t/s1"},
                    {"Delete finished: 5 deleted, 1 failed", "Failed: /t/s1"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Stop ends the chain after the request under way: the panel returns to the base directory and
// nothing is left running for a later completion to continue.
TEST_F(DeleteChainTest, StopInTheMiddleEndsTheChainAndReturns)
{
    ASSERT_TRUE(open());
    select({"t"});
    rig->ui.answerYes();
    const Strings sent = run([&] {
        rig->c.DeleteRemote();
        ASSERT_TRUE(pumpUntil([&] { return rig->logged("> DELE b.txt"); }, 20000));
        rig->c.StopTransfer();
        EXPECT_TRUE(rig->c.deleteChain().stopping());
    });
    EXPECT_FALSE(rig->c.commandRunning());
    EXPECT_EQ(sent, (Strings{"CWD /t", "LIST", "DELE a.txt", "CWD /t/s1", "LIST", "DELE b.txt", "CWD /", "LIST"}));
    EXPECT_EQ(server.paths(), (Strings{"/", "/f1.txt", "/f2.txt", "/keep.txt", "/t", "/t/s1", "/t/s2", "/t/s2/c.txt"}));
    EXPECT_EQ(rig->c.Ftp1.HostDirName, "/");
    EXPECT_EQ(rig->captions(), (Strings{"t", "f1.txt", "f2.txt", "keep.txt"}));
    EXPECT_FALSE(rig->c.abortMark());
    EXPECT_FALSE(rig->c.SiteListMode());
}

// Stop while a directory is entered, or while its listing arrives (which the mark aborts), ends
// only the chain: the session stays open and the panel shows the base directory again.
TEST_F(DeleteChainTest, StopWhileAScanIsUnderWayEndsTheChainNotTheSession)
{
    std::string big;
    for (int i = 0; i < 100000; ++i)
        big += "-rw-r--r--   1 o g 1 Jan 01  2020 file" + std::to_string(i) + ".txt\r\n";
    server.setRawListing("/t", big);
    for (const size_t listingsSent : {1u, 2u}) {
        SCOPED_TRACE(listingsSent == 1 ? "stopped at CWD" : "stopped at LIST");
        ASSERT_TRUE(open());
        select({"t"});
        rig->ui.answerYes();
        const Strings sent = run([&] {
            rig->c.DeleteRemote();
            ASSERT_TRUE(pumpUntil([&] { return loggedWith("> LIST").size() == listingsSent &&
                                               rig->logged("> CWD /t"); }, 20000));
            rig->c.StopTransfer();
        });
        ASSERT_GE(sent.size(), 3u) << ::testing::PrintToString(rig->c.log.lines());
        EXPECT_EQ(sent.front(), "CWD /t");
        EXPECT_EQ((Strings{sent[sent.size() - 2], sent.back()}), (Strings{"CWD /", "LIST"}));
        EXPECT_EQ(std::count_if(sent.begin(), sent.end(), [](const std::string& c) { return c.rfind("DELE", 0) == 0; }), 0);
        EXPECT_FALSE(rig->c.SiteListMode());
        EXPECT_EQ(rig->c.Ftp1.HostDirName, "/");
        EXPECT_NE(rig->rowOf("t"), -1);
        EXPECT_TRUE(server.exists("/t/a.txt"));
    }
}

// More than five entries are counted rather than named; No removes nothing.
TEST_F(DeleteChainTest, AnsweringNoSendsNothing)
{
    for (const char* path : {"/a", "/b", "/c"})
        server.addFile(path);
    ASSERT_TRUE(open());
    select({"a", "b", "c", "f1.txt", "f2.txt", "t"});
    rig->ui.answerNo();
    EXPECT_TRUE(run([&] { rig->c.DeleteRemote(); }).empty());
    ASSERT_EQ(rig->ui.questions.size(), 1u);
    EXPECT_EQ(rig->ui.questions[0].text, "Do you wish to remove 5 files and 1 folder?");
    EXPECT_EQ(server.paths().size(), 13u);
}

} // namespace
} // namespace brisk::test
