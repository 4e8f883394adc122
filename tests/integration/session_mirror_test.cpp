#include "byte_pattern.h"
#include "file_tree.h"
#include "file_io.h"
#include "session_rig.h"
#include "temp_dir.h"

#include "mirror/mirror_runner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>

namespace brisk::test {
namespace {

namespace fs = std::filesystem;

// Mirror runs against a real server; both trees compared byte for byte afterwards.
class SessionMirrorTest : public SessionServerTest {
protected:
    void SetUp() override
    {
        SessionServerTest::SetUp();
        if (IsSkipped())
            return;
        useLocalFolder();
        task.Local = local.string();
        task.Remote = "/m";
        task.Params = mpIncludeSubfolders | mpDeleteMissing | mpAllBinary;
        runner = std::make_unique<MirrorRunner>(rig->c, task);
    }
    void mirror(uint8_t direction, const std::function<void()>& whileRunning = {})
    {
        task.Direction = direction;
        rig->c.mirror().send(0, 0);
        if (whileRunning)
            whileRunning();
        EXPECT_TRUE(pumpUntil([&] { return settled(); }, 30000)) << ::testing::PrintToString(rig->c.log.lines());
    }
    bool settled() const
    {
        return !runner->running() && rig->c.Ftp1.State() == fsReady && !EventLoop::instance().hasPosted();
    }
    std::string state() const { return readFileBytes(home() + "mirrorstate.txt"); }
    // The state file's sixth line: "Ok" or "Stopped".
    std::string outcome() const
    {
        const std::string text = state();
        size_t line = 0;
        for (int i = 0; i < 5; ++i)
            line = text.find("\r\n", line) + 2;
        return text.substr(line, text.find("\r\n", line) - line);
    }

    TRecMirror task;
    std::unique_ptr<MirrorRunner> runner;
};

TEST_P(SessionMirrorTest, DownloadThenUploadMirrorsLeaveEqualTrees)
{
    server->putFile("m/f.bin", bytePattern(70000, 1));
    server->putFile("m/zero.bin", "");
    server->putFile("m/t/a.bin", bytePattern(1, 2));
    server->putFile("m/t/s/b.bin", bytePattern(300000, 3));
    ASSERT_TRUE(openSite());
    mirror(1);
    EXPECT_EQ(treeOf(local), treeOf(server->root() / "m"));
    EXPECT_EQ(outcome(), "Ok");

    fs::remove_all(local / "t/s");
    writeFileBytes(local / "t/new.bin", bytePattern(5000, 4));
    fs::create_directories(local / "u/v");
    writeFileBytes(local / "u/v/c.bin", bytePattern(9, 5));
    mirror(0);
    EXPECT_EQ(treeOf(server->root() / "m"), treeOf(local));
    EXPECT_EQ(outcome(), "Ok");
    EXPECT_EQ(rig->c.Ftp1.HostDirName, "/m/");
    EXPECT_FALSE(rig->c.SiteListMode());
}

// Stop while a file moves aborts it; a file listed after it is not started (the server's listing
// order decides which comes first) and the state file says so.
TEST_P(SessionMirrorTest, StopDuringATransferEndsTheRun)
{
    server->putFile("m/big.bin", bytePattern(64 << 20, 6));
    server->putFile("m/next.bin", "n");
    ASSERT_TRUE(openSite());
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
    EXPECT_EQ(outcome(), "Stopped");
    EXPECT_FALSE(rig->c.SiteListMode());
    EXPECT_EQ(rig->c.Ftp1.HostDirName, "/m/");
}

// Right after a mirror an "Overwrite only newest" run finds nothing to do in either direction: a
// downloaded file keeps the remote time (MDTM), an uploaded one gives its time to the server (MFMT,
// or vsftpd's MDTM with a time). The files are hours older than the runs, so that a time left at
// the moment of the transfer shows.
TEST_P(SessionMirrorTest, OnlyNewestFindsNothingRightAfterAMirror)
{
    const auto hoursAgo = [](int hours) { return fs::file_time_type::clock::now() - std::chrono::hours(hours); };
    server->putFile("m/old.bin", bytePattern(1000, 1));
    fs::last_write_time(server->root() / "m/old.bin", hoursAgo(72));
    ASSERT_TRUE(openSite());
    task.FileExists = 1;
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

INSTANTIATE_TEST_SUITE_P(Servers, SessionMirrorTest, ::testing::Values("vsftpd", "pyftpdlib"));

} // namespace
} // namespace brisk::test
