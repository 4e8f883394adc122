#include "mirror/mirror_run.h"
#include "temp_home.h"

#include <gtest/gtest.h>

namespace brisk {
namespace {

struct PathCase {
    std::string root;
    std::string sub;
    std::string remoteSub;
    std::string remotePath;
    std::string localSub;
    std::string localPath;
};

TEST(MirrorRunPaths, SubPathsAndFullPathsAlwaysEndInASeparator)
{
    const PathCase cases[] = {
        {"/pub", "", "", "/pub/", "", "/pub/"},
        {"/pub", "a", "/a/", "/pub/a/", "/a/", "/pub/a/"},
        {"/pub/", "a/b", "a/b/", "/pub/a/b/", "a/b/", "/pub/a/b/"},
        {"/pub", "\\a\\b", "/a/b/", "/pub/a/b/", "/\\a\\b/", "/pub/\\a\\b/"},
        {"/", "a", "a/", "/a/", "a/", "/a/"},
        {"", "a", "a/", "a/", "a/", "a/"},
    };
    for (const PathCase& c : cases) {
        TMirrorRun run("h", c.root, c.root);
        run.SetRemoteSub(c.sub);
        run.SetLocalSub(c.sub);
        EXPECT_EQ(run.RemoteSub, c.remoteSub) << c.root << " " << c.sub;
        EXPECT_EQ(run.RemotePath(), c.remotePath) << c.root << " " << c.sub;
        EXPECT_EQ(run.LocalSub, c.localSub) << c.root << " " << c.sub;
        EXPECT_EQ(run.LocalPath(), c.localPath) << c.root << " " << c.sub;
    }
}

TEST(MirrorRunPaths, SubPathsFollowTheRemoteDirectory)
{
    TMirrorRun run("h", "/home/u/site", "/pub");
    run.FollowRemoteDir("/pub/a/b");
    EXPECT_EQ(run.RemotePath(), "/pub/a/b/");
    EXPECT_EQ(run.LocalPath(), "/home/u/site/a/b/");
    run.FollowRemoteDir("/pub");
    EXPECT_EQ(run.RemotePath(), "/pub/");
    EXPECT_EQ(run.LocalPath(), "/home/u/site/");
}

TEST(MirrorRun, FindNextPassesRecordsInProgressAndHonoursStop)
{
    TMirrorRun run("h", "/l", "/r");
    int index = 7;
    EXPECT_FALSE(run.FindNext(index));
    EXPECT_EQ(index, -1);
    run.Items.Place({{"a", "a", 0, 0, omPut, smProgress}, {"b", "b", 0, 0, omGet, smError},
                     {"c", "c", 0, 0, omGet, smNone}, {"d", "d", 0, 0, omDir, smProgress}},
                    true, 0);
    ASSERT_TRUE(run.FindNext(index));
    EXPECT_EQ(index, 2);
    const std::vector<TMirrorState> states{smDone, smError, smNone, smProgress};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(run.Items.items()[size_t(i)].State, states[size_t(i)]) << i;
    run.Stop();
    EXPECT_FALSE(run.FindNext(index));
    EXPECT_EQ(index, -1);
    run.Resume();
    EXPECT_TRUE(run.FindNext(index));
}

TEST(MirrorRun, AFailedDirectoryIsNeitherEnteredNorLeft)
{
    TMirrorRun run("h", "/l", "/r");
    run.Items.Place({{"", "new", 0, 0, omMkdFtp, smProgress}, {"new", "new", 0, 0, omDir, smNone},
                     {"new", "new", 0, 0, omDirUp, smNone}, {"next", "next", 0, 0, omDir, smNone},
                     {"next", "next", 0, 0, omDirUp, smNone}, {"", "gone", 0, 0, omRmdFtp, smNone},
                     {"x", "x", 0, 0, omDir, smNone}},
                    true, 0);
    run.MarkFailed();
    EXPECT_EQ(run.Current, 4);
    std::vector<TMirrorState> states;
    for (const TMirrorRec& rec : run.Items.items())
        states.push_back(rec.State);
    EXPECT_EQ(states, (std::vector<TMirrorState>{smError, smError, smError, smError, smError, smNone, smNone}));
    EXPECT_FALSE(run.Stopped);
    int index = 0;
    ASSERT_TRUE(run.FindNext(index));
    EXPECT_EQ(index, 5);
}

TEST(MirrorRun, AFailedTransferIsMarkedAndAFailedDirUpStopsTheRun)
{
    TMirrorRun run("h", "/l", "/r");
    run.Items.Place({{"f", "f", 1, 0, omPut, smProgress}, {"d", "d", 0, 0, omDir, smNone},
                     {"d", "d", 0, 0, omDirUp, smProgress}, {"g", "g", 0, 1, omGet, smProgress}},
                    true, 0);
    run.MarkFailed();
    EXPECT_EQ(run.Current, 0);
    EXPECT_EQ(run.Items.items()[0].State, smError);
    EXPECT_EQ(run.Items.items()[1].State, smNone);
    run.Current = 3;
    run.MarkDone();
    EXPECT_EQ(run.Items.items()[3].State, smDone);
    run.Current = 2;
    run.MarkFailed();
    EXPECT_EQ(run.Items.items()[2].State, smError);
    EXPECT_TRUE(run.Stopped);
}

class MirrorRunStateTest : public TempHomeTest {};

TEST_F(MirrorRunStateTest, SaveStateWritesWhereTheRunStandsIntoTheProgramDirectory)
{
    TMirrorRun run("ftp.example", "/home/u/site", "/pub");
    run.FollowRemoteDir("/pub/sub");
    run.Items.Add({"", "gone.txt", 0, 0, omDelFtp, smDone});
    run.Stop();
    ASSERT_TRUE(run.SaveState());
    EXPECT_EQ(readFile(home() + "mirrorstate.txt"), "ftp.example\r\n/home/u/site\r\n/pub\r\n/sub/\r\n/sub/\r\nStopped\r\n"
                                                   "\tgone.txt\t0\t0\tomDelFtp\tsmDone\r\n");
}

} // namespace
} // namespace brisk
