#include "tree_session_test.h"

#include <gtest/gtest.h>

#include <functional>

namespace brisk::test {
namespace {

using Strings = std::vector<std::string>;

class ChainsTest : public TreeSessionTest {
protected:
    void SetUp() override
    {
        TreeSessionTest::SetUp();
        for (const char* path : {"/a.txt", "/abc", "/b.txt", "/c.txt", "/ReadMe.TXT"})
            server.addFile(path);
        ASSERT_TRUE(open());
    }

public:
    void changeModes() { rig->c.chmodChain().start({{"a.txt", 644}, {"b.txt", 600}, {"c.txt", 755}}); }
    void changeCase()
    {
        select({"abc", "ReadMe.TXT"});
        rig->c.ChangeCaseRemote(2);
    }
};

TEST_F(ChainsTest, ChmodSendsOneSiteChmodPerEntryThenRefreshes)
{
    EXPECT_EQ(run([&] { changeModes(); }),
              (Strings{"SITE CHMOD 644 a.txt", "SITE CHMOD 600 b.txt", "SITE CHMOD 755 c.txt", "LIST"}));
    EXPECT_EQ(server.modeOf("/b.txt"), "600");
    EXPECT_EQ(server.modeOf("/c.txt"), "755");
}

// A name that would split the command, or a mode that is no mode, is never sent.
TEST_F(ChainsTest, ChmodSkipsNamesAndModesThatCannotBeSent)
{
    EXPECT_EQ(run([&] {
                  rig->c.chmodChain().start(
                      {{"a.txt\r\nDELE c.txt", 644}, {"b.txt", 800}, {"..", 644}, {"c.txt", 640}});
              }),
              (Strings{"SITE CHMOD 640 c.txt", "LIST"}));
    EXPECT_EQ(loggedWith("Skipped").size(), 3u);
    EXPECT_EQ(loggedWith("Attributes changed:"), (Strings{"Attributes changed: 1, failed: 3"}));
    EXPECT_TRUE(server.exists("/c.txt"));
}

struct MiddleCase {
    const char* name;
    std::function<void(ChainsTest&)> start;
    const char* failingLine;
    std::vector<std::string> expected;
};

class ChainFailure : public ChainsTest, public ::testing::WithParamInterface<MiddleCase> {};

// A refused rename ends the chain: the rest is not sent, the panel shows what did change, and no
// flag is left behind for a later, unrelated completion to resume the chain with.
TEST_P(ChainFailure, EndsTheChainWithoutSendingTheRest)
{
    server.peer().onLine(GetParam().failingLine, "550 Refused.\r\n");
    EXPECT_EQ(run([&] { GetParam().start(*this); }), GetParam().expected);
    EXPECT_EQ(loggedWith("Error").size(), 1u);
    EXPECT_TRUE(rig->c.operationFlags().empty());

    rig->c.Ftp1.LocalFileName = "NOOP";
    EXPECT_EQ(run([&] { rig->c.Ftp1.QuoteAsync(); }), (Strings{"NOOP", "CWD /", "LIST"}));
}

// (The attribute chain goes on after a refused entry: session_attributes_test.cpp.)
INSTANTIATE_TEST_SUITE_P(
    Chains, ChainFailure,
    ::testing::Values(MiddleCase{"Rename", [](ChainsTest& t) { t.changeCase(); }, "RNFR ReadMe.TXT",
                                 {"RNFR abc", "RNTO Abc", "RNFR ReadMe.TXT", "LIST /"}}),
    [](const auto& info) { return std::string(info.param.name); });

class ChainStop : public ChainFailure {};

// Stop ends the chain once the request under way has completed, and the panel is refreshed.
TEST_P(ChainStop, EndsTheChainAfterTheRequestUnderWay)
{
    const Strings sent = run([&] {
        GetParam().start(*this);
        ASSERT_TRUE(pumpUntil([&] { return rig->logged(std::string("> ") + GetParam().failingLine); }, 20000));
        rig->c.StopTransfer();
        EXPECT_TRUE(rig->c.operationFlags().empty());
    });
    EXPECT_EQ(sent, GetParam().expected);
    EXPECT_TRUE(loggedWith("Error").empty());
    EXPECT_FALSE(rig->c.abortMark());

    // Nothing of the chain is left for a later raw command to send.
    rig->c.Ftp1.LocalFileName = "NOOP";
    EXPECT_EQ(run([&] { rig->c.Ftp1.QuoteAsync(); }), (Strings{"NOOP", "CWD /", "LIST"}));
}

INSTANTIATE_TEST_SUITE_P(
    Chains, ChainStop,
    ::testing::Values(MiddleCase{"Chmod", [](ChainsTest& t) { t.changeModes(); }, "SITE CHMOD 600 b.txt",
                                 {"SITE CHMOD 644 a.txt", "SITE CHMOD 600 b.txt", "LIST"}},
                      MiddleCase{"Rename", [](ChainsTest& t) { t.changeCase(); }, "RNTO Abc",
                                 {"RNFR abc", "RNTO Abc", "LIST /"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Stop (or Escape closing a drop-down) with nothing running leaves no mark behind: the next
// refresh lists the directory instead of aborting and dropping the session.
TEST_F(ChainsTest, StopWithNothingRunningDoesNothing)
{
    const int changes = rig->ui.changes;
    rig->c.StopTransfer();
    EXPECT_FALSE(rig->c.abortMark());
    EXPECT_EQ(rig->ui.changes, changes);
    const uint64_t before = rig->c.listingsShown();
    EXPECT_EQ(run([&] { rig->c.Refresh3Click(); }), (Strings{"LIST"}));
    EXPECT_GT(rig->c.listingsShown(), before);
    EXPECT_FALSE(rig->c.SiteListMode());
    EXPECT_TRUE(loggedWith("Error").empty());
}

} // namespace
} // namespace brisk::test
