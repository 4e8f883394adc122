#include "byte_pattern.h"
#include "file_tree.h"
#include "file_io.h"
#include "session_rig.h"
#include "temp_dir.h"

#include "platform/utc_stamp.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sys/stat.h>

namespace brisk::test {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

class SessionTransferTest : public SessionServerTest {
protected:
    void SetUp() override
    {
        SessionServerTest::SetUp();
        if (IsSkipped())
            return;
        useLocalFolder();
    }
    // Runs `start` and waits for the transfer to end and the panel to be shown again.
    Strings transfer(const std::function<void()>& start, int timeoutMs = 30000)
    {
        const size_t mark = rig->c.log.lines().size();
        start();
        EXPECT_TRUE(pumpUntil([&] { return settled(); }, timeoutMs)) << ::testing::PrintToString(rig->c.log.lines());
        return rig->sentWithoutData(mark);
    }
    bool settled() const
    {
        return !rig->c.transferChain().running() && rig->c.Ftp1.State() == fsReady &&
               !EventLoop::instance().hasPosted();
    }
    void select(const Strings& names)
    {
        rig->c.remote.panel.unselectAll();
        for (const std::string& name : names) {
            const int row = rig->rowOf(name);
            ASSERT_GE(row, 0) << name;
            rig->c.setRemoteSelected(size_t(row), true);
        }
    }
    std::string summary() const
    {
        std::string last;
        for (const std::string& line : rig->c.log.lines())
            if (line.rfind("Transfer finished:", 0) == 0)
                last = line;
        return last;
    }
    // Stops the transfer `start` begins as soon as its first bytes have moved.
    void stopOnceMoving(const std::function<void()>& start)
    {
        start();
        ASSERT_TRUE(pumpUntil([&] { return rig->ui.progress.updates > 0; }, 20000));
        rig->c.StopTransfer();
        ASSERT_TRUE(pumpUntil([&] { return settled(); }, 20000)) << ::testing::PrintToString(rig->c.log.lines());
    }
};

// A mixed selection goes down and comes back up unchanged; the empty directory is created on the
// server by the missing-directory rule.
TEST_P(SessionTransferTest, MixedSelectionDownAndUpIsUnchanged)
{
    server->putFile("f.bin", bytePattern(70000, 1));
    server->putFile("zero.bin", "");
    server->putFile("t/a.bin", bytePattern(1, 2));
    server->putFile("t/s/b.bin", bytePattern(300000, 3));
    fs::create_directories(server->root() / "t/empty");
    ASSERT_TRUE(openSite());
    select({"f.bin", "zero.bin", "t"});
    transfer([&] { rig->c.StartDownload(); });
    EXPECT_EQ(summary(), "Transfer finished: 4 transferred, 0 skipped, 0 failed");
    EXPECT_EQ(treeOf(local), treeOf(server->root()));

    fs::rename(local / "t", local / "u");
    const Strings sent = transfer([&] { rig->c.StartUpload({"u"}); });
    EXPECT_EQ(treeOf(local / "u"), treeOf(server->root() / "t"));
    // The uploaded files get their local times: MFMT, or vsftpd's MDTM with a time.
    const auto setTime = [&](const fs::path& file) {
        struct stat info{};
        EXPECT_EQ(::stat(file.c_str(), &info), 0);
        return (GetParam() == "vsftpd" ? "MDTM " : "MFMT ") + UtcStamp(info.st_mtime) + " ";
    };
    const Strings expected = {"CWD /u", "TYPE A", "MKD /u", "CWD /u", "TYPE A", list(), "TYPE I", "STOR /u/a.bin",
                              setTime(local / "u/a.bin") + "/u/a.bin",
                              "CWD /u/empty", "TYPE A", "MKD /u/empty", "CWD /u/empty", "TYPE A", list(),
                              "CWD /u/s", "TYPE A", "MKD /u/s", "CWD /u/s", "TYPE A", list(), "TYPE I",
                              "STOR /u/s/b.bin", setTime(local / "u/s/b.bin") + "/u/s/b.bin", "CWD /", "TYPE A", list()};
    EXPECT_EQ(sent, expected);
    EXPECT_EQ(rig->captions(), (Strings{"t", "u", "f.bin", "zero.bin"}));
}

// A transfer broken off is resumed where the target ends, in both directions.
TEST_P(SessionTransferTest, ResumeCompletesBrokenTransfersExactly)
{
    const std::string down = bytePattern(3 << 20, 4), up = bytePattern(2 << 20, 5);
    server->putFile("down.bin", down);
    server->putFile("up.bin", up.substr(0, 1000000));
    writeFileBytes(local / "down.bin", down.substr(0, 1234567));
    writeFileBytes(local / "up.bin", up);
    ASSERT_TRUE(openSite());

    rig->ui.answerOverwrite(OverwriteChoice::Resume);
    select({"down.bin"});
    const Strings got = transfer([&] { rig->c.StartDownload(); });
    EXPECT_NE(std::find(got.begin(), got.end(), "REST 1234567"), got.end()) << ::testing::PrintToString(got);
    EXPECT_EQ(readFileBytes(local / "down.bin"), down);

    rig->ui.answerOverwrite(OverwriteChoice::Resume);
    const Strings put = transfer([&] { rig->c.StartUpload({"up.bin"}); });
    EXPECT_NE(std::find(put.begin(), put.end(), "REST 1000000"), put.end()) << ::testing::PrintToString(put);
    EXPECT_EQ(readFileBytes(server->root() / "up.bin"), up);
    EXPECT_TRUE(rig->ui.scriptUsedUp());
}

// Stop ends the transfer at once: the file under way is not counted, the next one is not started,
// and the session stays open for the next command.
TEST_P(SessionTransferTest, StopEndsADownloadAndAnUpload)
{
    const std::string big = bytePattern(64 << 20, 6);
    server->putFile("big.bin", big);
    server->putFile("next.bin", "n");
    ASSERT_TRUE(openSite());
    select({"big.bin", "next.bin"});
    stopOnceMoving([&] { rig->c.StartDownload(); });
    EXPECT_EQ(summary(), "Transfer finished: 0 transferred, 0 skipped, 0 failed");
    EXPECT_FALSE(fs::exists(local / "next.bin"));
    EXPECT_FALSE(rig->c.SiteListMode());

    writeFileBytes(local / "up.bin", big);
    writeFileBytes(local / "later.bin", "l");
    stopOnceMoving([&] { rig->c.StartUpload({"up.bin", "later.bin"}); });
    EXPECT_EQ(summary(), "Transfer finished: 0 transferred, 0 skipped, 0 failed");
    EXPECT_FALSE(fs::exists(server->root() / "later.bin"));
    EXPECT_FALSE(rig->c.SiteListMode());

    // A new transfer right after a Stop runs in full.
    transfer([&] { rig->c.StartUpload({"later.bin"}); });
    EXPECT_EQ(readFileBytes(server->root() / "later.bin"), "l");
    EXPECT_EQ(summary(), "Transfer finished: 1 transferred, 0 skipped, 0 failed");
}

INSTANTIATE_TEST_SUITE_P(Servers, SessionTransferTest, ::testing::Values("vsftpd", "pyftpdlib"));

} // namespace
} // namespace brisk::test
