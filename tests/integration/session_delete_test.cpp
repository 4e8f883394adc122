#include "session_rig.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace brisk::test {
namespace {

using Strings = std::vector<std::string>;

class SessionDeleteTest : public SessionServerTest {
protected:
    // The commands that change or walk the tree, in order.
    Strings treeCommands(size_t mark) const
    {
        Strings out;
        for (const std::string& cmd : rig->sentWithoutData(mark))
            if (cmd.rfind("TYPE", 0) != 0)
                out.push_back(cmd);
        return out;
    }
};

TEST_P(SessionDeleteTest, FilesFirstThenEachDirectoryListedOnceThenRemovedInReverse)
{
    server->putFile("keep.txt", "k");
    server->putFile("f1.txt", "1");
    server->putFile("f2.txt", "2");
    server->putFile("t/a.txt", "a");
    server->putFile("t/s1/b.txt", "b");
    server->putFile("t/s2/c.txt", "c");
    ASSERT_TRUE(openSite());
    for (const char* name : {"f1.txt", "f2.txt", "t"})
        rig->c.setRemoteSelected(size_t(rig->rowOf(name)), true);

    const size_t mark = rig->c.log.lines().size();
    const uint64_t before = rig->c.listingsShown();
    rig->ui.answerYes();
    rig->c.DeleteRemote();
    ASSERT_TRUE(rig->waitListing(before, 20000)) << ::testing::PrintToString(rig->c.log.lines());

    EXPECT_EQ(rig->ui.questions.at(0).text, "Do you wish to remove \"t/\", \"f1.txt\" and \"f2.txt\"?");
    EXPECT_EQ(rig->ui.questions.at(0).caption, "Attention");
    const Strings expected = {
        "DELE f1.txt", "DELE f2.txt",
        "CWD /t", list(), "DELE a.txt",
        "CWD /t/s1", list(), "DELE b.txt",
        "CWD /t/s2", list(), "DELE c.txt",
        // The current directory is left with CDUP before it is removed; the others go by their paths.
        "CDUP", "RMD /t/s2", "RMD /t/s1", "CDUP", "RMD /t",
        "CWD /", list(),
    };
    EXPECT_EQ(treeCommands(mark), expected);
    EXPECT_EQ(rig->captions(), (Strings{"keep.txt"}));
    EXPECT_FALSE(std::filesystem::exists(server->root() / "t"));
    EXPECT_TRUE(rig->c.operationFlags().empty());
}

INSTANTIATE_TEST_SUITE_P(Servers, SessionDeleteTest, ::testing::Values("vsftpd", "pyftpdlib"));

} // namespace
} // namespace brisk::test
