// What a session's chains leave on real servers: deleted trees on disk, transfers and mirror runs
// stopped while a file moves, and the file times a mirror keeps. The commands the
// chains send are asserted against the in-memory server (tests/unit/session_*_test.cpp and
// mirror_runner_test.cpp); whole trees go up and down in cli_tree_transfer_test.cpp and
// cli_mirror_test.cpp.
#include "byte_pattern.h"
#include "file_io.h"
#include "session_rig.h"

#include "mirror/mirror_runner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace brisk::test {
namespace {

namespace fs = std::filesystem;

class SessionServersTest : public SessionServerTest {
protected:
    // Stops the transfer `start` begins as soon as its first bytes have moved.
    void stopOnceMoving(const std::function<void()>& start)
    {
        start();
        ASSERT_TRUE(pumpUntil([&] { return rig->ui.progress.updates > 0; }, 20000));
        rig->c.StopTransfer();
        ASSERT_TRUE(pumpUntil([&] { return settled(); }, 20000)) << ::testing::PrintToString(rig->c.log.lines());
    }
    // A mirror run of the remote "/m" against the local folder, `whileRunning` done meanwhile.
    void mirror(uint8_t direction, const std::function<void()>& whileRunning = {})
    {
        task.Local = local.string();
        task.Remote = "/m";
        task.Direction = direction;
        if (!runner)
            runner = std::make_unique<MirrorRunner>(rig->c, task);
        runner->start();
        if (whileRunning)
            whileRunning();
        EXPECT_TRUE(pumpUntil([&] { return !runner->running() && settled(); }, 30000))
            << ::testing::PrintToString(rig->c.log.lines());
    }
    std::string state() const { return readFileBytes(home() + "mirrorstate.txt"); }

    TRecMirror task;
    std::unique_ptr<MirrorRunner> runner;
    // It holds the controller, which the base TearDown destroys.
    void TearDown() override
    {
        runner.reset();
        SessionServerTest::TearDown();
    }
};

TEST_P(SessionServersTest, DeleteRemovesWholeTreesAndShowsWhatIsLeft)
{
    for (const char* name : {"keep.txt", "f1.txt", "f2.txt", "t/a.txt", "t/s1/b.txt", "t/s2/c.txt"})
        server->putFile(name, "x");
    ASSERT_TRUE(openSite());
    select({"f1.txt", "f2.txt", "t"});
    rig->ui.answerYes();
    const Strings sent = run([&] { rig->c.DeleteRemote(); });
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back(), list()) << "the base directory is listed again";
    EXPECT_EQ(rig->captions(), (Strings{"keep.txt"}));
    EXPECT_FALSE(fs::exists(server->root() / "t"));
    EXPECT_FALSE(fs::exists(server->root() / "f1.txt"));
    EXPECT_TRUE(fs::exists(server->root() / "keep.txt"));
}

// Stop ends the transfer at once: the file under way counts as failed by name, the next one is not
// started, and the session stays open for the next command.
TEST_P(SessionServersTest, StopEndsADownloadAndAnUpload)
{
    const std::string big = bytePattern(64 << 20, 6);
    server->putFile("big.bin", big);
    server->putFile("next.bin", "n");
    ASSERT_TRUE(openSite());
    select({"big.bin", "next.bin"});
    stopOnceMoving([&] { rig->c.StartDownload(); });
    EXPECT_EQ(summary(), "Transfer finished: 0 transferred, 0 skipped, 1 failed");
    EXPECT_TRUE(rig->logged("Failed: /big.bin")) << ::testing::PrintToString(rig->c.log.lines());
    EXPECT_FALSE(fs::exists(local / "next.bin"));
    EXPECT_FALSE(rig->c.SiteListMode());

    writeFileBytes(local / "up.bin", big);
    writeFileBytes(local / "later.bin", "l");
    stopOnceMoving([&] { rig->c.StartUpload({"up.bin", "later.bin"}); });
    EXPECT_EQ(summary(), "Transfer finished: 0 transferred, 0 skipped, 1 failed");
    EXPECT_TRUE(rig->logged("Failed: " + (local / "up.bin").string())) << ::testing::PrintToString(rig->c.log.lines());
    EXPECT_FALSE(fs::exists(server->root() / "later.bin"));
    EXPECT_FALSE(rig->c.SiteListMode());

    // A new transfer right after a Stop runs in full.
    run([&] { rig->c.StartUpload({"later.bin"}); });
    EXPECT_EQ(readFileBytes(server->root() / "later.bin"), "l");
    EXPECT_EQ(summary(), "Transfer finished: 1 transferred, 0 skipped, 0 failed");
}

// Stop while a file moves aborts it; a file listed after it is not started (the server's listing
// order decides which comes first) and the state file says so.
TEST_P(SessionServersTest, StopDuringATransferEndsTheRun)
{
    server->putFile("m/big.bin", bytePattern(64 << 20, 6));
    server->putFile("m/next.bin", "n");
    ASSERT_TRUE(openSite());
    task.Params = mpIncludeSubfolders | mpDeleteMissing | mpAllBinary;
    mirror(1, [&] {
        ASSERT_TRUE(pumpUntil([&] { return rig->logged("Starting transfer of big.bin"); }, 20000));
        const int updates = rig->ui.progress.updates;
        ASSERT_TRUE(pumpUntil([&] { return rig->ui.progress.updates > updates; }, 20000));
        rig->c.StopTransfer();
    });
    const bool nextFirst = state().find("next.bin\tnext.bin\t0\t1\tomGet\tsmDone\r\n") != std::string::npos;
    EXPECT_EQ(fs::exists(local / "next.bin"), nextFirst);
    EXPECT_NE(state().find("big.bin\tbig.bin\t0\t67108864\tomGet\tsmError\r\n"), std::string::npos) << state();
    EXPECT_TRUE(nextFirst || state().find("next.bin\tnext.bin\t0\t1\tomGet\tsmNone\r\n") != std::string::npos)
        << state();
    EXPECT_NE(state().find("\r\nStopped\r\n"), std::string::npos);
    EXPECT_FALSE(rig->c.SiteListMode());
    EXPECT_EQ(rig->c.Ftp1.HostDirName, "/m/");
}

// Right after a mirror an "Overwrite only newest" run finds nothing to do in either direction: a
// downloaded file keeps the remote time (from MLSD, else MDTM), an uploaded one gives its time to the server (MFMT,
// or vsftpd's MDTM with a time). The files are hours older than the runs, so that a time left at
// the moment of the transfer shows.
TEST_P(SessionServersTest, OnlyNewestFindsNothingRightAfterAMirror)
{
    const auto hoursAgo = [](int hours) { return fs::file_time_type::clock::now() - std::chrono::hours(hours); };
    server->putFile("m/old.bin", bytePattern(1000, 1));
    fs::last_write_time(server->root() / "m/old.bin", hoursAgo(72));
    ASSERT_TRUE(openSite());
    task.FileExists = MirrorFileExists::OverwriteNewest;
    task.Params = mpAllBinary;
    mirror(1);
    ASSERT_TRUE(fs::exists(local / "old.bin"));
    writeFileBytes(local / "new.bin", bytePattern(500, 2));
    fs::last_write_time(local / "new.bin", hoursAgo(2));
    mirror(0);
    ASSERT_TRUE(fs::exists(server->root() / "m/new.bin"));
    for (uint8_t direction : {0, 1, 2}) {
        mirror(direction);
        EXPECT_EQ(state().find("\tomGet\t"), std::string::npos) << int(direction) << state();
        EXPECT_EQ(state().find("\tomPut\t"), std::string::npos) << int(direction) << state();
    }
}

INSTANTIATE_TEST_SUITE_P(Servers, SessionServersTest, ::testing::Values("vsftpd", "pyftpdlib"));

} // namespace
} // namespace brisk::test
