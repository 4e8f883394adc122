// Raw commands typed by the user: the whole reply in the log, then the panel refreshed by changing
// into the current directory again.
#include "tree_session_test.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace brisk::test {
namespace {

class RawCommandTest : public TreeSessionTest {
protected:
    void SetUp() override
    {
        TreeSessionTest::SetUp();
        server.addFile("/pub/a.txt");
        server.peer().on("PASS", "230-Welcome to the tree.\r\n230-Be nice.\r\n230 Logged in.\r\n");
        server.peer().on("FEAT", "211-Features:\r\n MDTM\r\n SIZE\r\n211 End\r\n");
        ASSERT_TRUE(open());
        run([&] { rig->c.remoteDoubleClick(rig->rowOf("pub")); });
        ASSERT_EQ(rig->captions(), Strings{"a.txt"});
    }
    // The log lines that follow the last one equal to `first`, `count` of them.
    Strings logFrom(const std::string& first, size_t count) const
    {
        const auto& lines = rig->c.log.lines();
        const auto found = std::find(lines.rbegin(), lines.rend(), first);
        if (found == lines.rend() || size_t(found - lines.rbegin()) + 1 < count)
            return {};
        const auto at = found.base() - 1;
        return Strings(at, at + long(count));
    }
};

// Control bytes of a reply cannot break the log into forged lines or reach a terminal reading the
// log file; a reply naming PASS is not taken for the password line. A refused command is an error
// and nothing follows it.
TEST_F(RawCommandTest, EveryReplyLineIsLoggedThenTheDirectoryIsEnteredAgain)
{
    const uint64_t shown = rig->c.listingsShown();
    EXPECT_EQ(run([&] { rig->c.SendRawCommand("FEAT"); }), (Strings{"FEAT", "CWD /pub", "LIST"}));
    EXPECT_EQ(logFrom("> FEAT", 6), (Strings{"> FEAT", "< 211-Features:", "<  MDTM", "<  SIZE", "< 211 End",
                                             "> CWD /pub"}));
    EXPECT_GT(rig->c.listingsShown(), shown);
    EXPECT_EQ(rig->captions(), Strings{"a.txt"});
    EXPECT_EQ(logFrom("< 230-Welcome to the tree.", 3),
              (Strings{"< 230-Welcome to the tree.", "< 230-Be nice.", "< 230 Logged in."}));

    server.peer().on("HELP", "214-a\x1b[2Jb\rc\x7f\r\n214- PASS PASV\r\n214 End\r\n");
    run([&] { rig->c.SendRawCommand("HELP"); });
    EXPECT_EQ(logFrom("> HELP", 4), (Strings{"> HELP", "< 214-a?[2Jb?c?", "< 214- PASS PASV", "< 214 End"}));

    EXPECT_EQ(run([&] { rig->c.SendRawCommand("XYZZY"); }), Strings{"XYZZY"});
    EXPECT_EQ(loggedWith("Error"), Strings{"Error 502 Command not implemented."});
}

TEST_F(RawCommandTest, NothingIsSentWhileARequestRunsOrWithoutASession)
{
    EXPECT_TRUE(rig->c.canSendRawCommand());
    const size_t mark = rig->c.log.lines().size();
    rig->c.Refresh3Click();
    EXPECT_FALSE(rig->c.canSendRawCommand());
    rig->c.SendRawCommand("NOOP");
    ASSERT_TRUE(pumpUntil([&] { return settled(); }, 20000));
    EXPECT_FALSE(rig->logged("> NOOP")) << ::testing::PrintToString(rig->sent(mark));

    rig->c.Disconnect();
    ASSERT_TRUE(rig->waitSiteList());
    const size_t closed = rig->c.log.lines().size();
    rig->c.SendRawCommand("NOOP");
    EXPECT_EQ(rig->c.log.lines().size(), closed) << "neither sent nor an error";
}

} // namespace
} // namespace brisk::test
