#include "app/cli/mirror_options.h"

#include <gtest/gtest.h>

namespace brisk::cli {
namespace {

using Words = std::vector<std::string>;

TEST(MirrorOptions, UsageErrors)
{
    const struct {
        Words args;
        std::string error;
    } cases[] = {
        {{"--direction", "up", "l", "r"}, "--direction must be local, remote or both: up"},
        {{"--if-exists", "ask", "l", "r"}, "--if-exists must be overwrite, newer or skip: ask"},
        {{"--recursive", "l", "r"}, "unknown option for mirror: --recursive"},
        {{"l", "r", "--exclude"}, "missing value for --exclude"},
        {{"l"}, "mirror needs a local and a remote directory"},
        {{}, "mirror needs a local and a remote directory"},
        {{"l", "r", "x"}, "mirror needs a local and a remote directory"},
    };
    for (const auto& c : cases) {
        MirrorArgs parsed;
        EXPECT_EQ(ParseMirrorArgs(c.args, parsed), c.error) << testing::PrintToString(c.args);
    }
}

TEST(MirrorOptions, DirectionsAndPoliciesMapOntoTheTask)
{
    const struct {
        Words flags;
        uint8_t direction;
        uint8_t fileExists;
    } cases[] = {
        {{"--direction", "remote", "--if-exists", "overwrite"}, 0, 0},
        {{"--direction", "local", "--if-exists", "newer"}, 1, 1},
        {{"--direction", "both", "--if-exists", "skip"}, 2, 2},
    };
    for (const auto& c : cases) {
        Words args = c.flags;
        args.insert(args.end(), {"here", "/there"});
        MirrorArgs parsed;
        ASSERT_EQ(ParseMirrorArgs(args, parsed), "");
        TRecMirror task;
        ApplyMirrorArgs(parsed, task);
        EXPECT_EQ(task.Direction, c.direction);
        EXPECT_EQ(task.FileExists, c.fileExists);
        EXPECT_EQ(task.Local, "here");
        EXPECT_EQ(task.Remote, "/there");
    }
}

// A profile's settings stay where no flag is given; flags add to its options and exclusions.
TEST(MirrorOptions, FlagsOverrideOnlyWhatTheyName)
{
    TRecMirror task;
    task.Direction = 1;
    task.FileExists = 2;
    task.Params = mpAllBinary;
    task.Exclusions = "*.bak";
    MirrorArgs parsed;
    ASSERT_EQ(ParseMirrorArgs({"--profile", "p.cpf", "--delete", "--subdirs", "--exclude", "*.tmp", "--exclude",
                               "", "--dry-run", "l", "r"},
                              parsed),
              "");
    EXPECT_EQ(parsed.profile, "p.cpf");
    EXPECT_TRUE(parsed.dryRun);
    ApplyMirrorArgs(parsed, task);
    EXPECT_EQ(task.Direction, 1);
    EXPECT_EQ(task.FileExists, 2);
    EXPECT_EQ(task.Params, mpAllBinary | mpDeleteMissing | mpIncludeSubfolders);
    EXPECT_EQ(task.Exclusions, "*.bak|*.tmp");

    TRecMirror fresh;
    MirrorArgs none;
    ASSERT_EQ(ParseMirrorArgs({"l", "r"}, none), "");
    ApplyMirrorArgs(none, fresh);
    EXPECT_EQ(fresh.Params, TRecMirror{}.Params);
    EXPECT_EQ(fresh.Exclusions, "");
}

} // namespace
} // namespace brisk::cli
