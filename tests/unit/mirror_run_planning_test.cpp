#include "mirror/mirror_run_planning.h"
#include "temp_home.h"

#include <gtest/gtest.h>

namespace brisk {
namespace {

RemoteEntry entry(std::string name, bool directory)
{
    RemoteEntry e;
    e.name = std::move(name);
    e.isDirectory = directory;
    e.size = directory ? "" : "4";
    e.date = "Dec 1";
    e.time = "10:20";
    return e;
}

std::vector<std::string> operations(const TMirrorRun& run)
{
    std::vector<std::string> lines;
    for (const TMirrorRec& rec : run.Items.items())
        lines.push_back(std::string(MirrorOperationName(rec.Operation)) + " " + rec.LocalName + "|" + rec.RemoteName);
    return lines;
}

class MirrorRunPlanningTest : public TempHomeTest {
protected:
    TRecMirror task;
    const CalendarDate today{2026, 12, 6};
};

TEST_F(MirrorRunPlanningTest, AnEnteredSubdirectoryIsPlannedBeforeItsEnterStep)
{
    writeFile(home() + "site/top.txt", "t");
    writeFile(home() + "site/sub/up.txt", "u");
    task.Direction = 0;
    task.Params = mpIncludeSubfolders;
    TMirrorRun run("h", home() + "site", "/pub");
    int next = -1;
    const std::vector<RemoteEntry> top{entry("sub", true)};
    ASSERT_TRUE(PlanCurrentDirectory(run, task, {top, "/pub", today}, true, next));
    EXPECT_EQ(operations(run), (std::vector<std::string>{"omPut top.txt|top.txt", "omDir sub|sub", "omDirUp sub|sub"}));
    EXPECT_EQ(next, 0);

    run.MarkDone();
    run.Current = 1;
    run.Items.PutItem(1, {"sub", "sub", 0, 0, omDir, smProgress});
    ASSERT_TRUE(PlanCurrentDirectory(run, task, {{}, "/pub/sub", today}, false, next));
    EXPECT_EQ(run.LocalPath(), home() + "site/sub/");
    EXPECT_EQ(operations(run), (std::vector<std::string>{"omPut top.txt|top.txt", "omPut up.txt|up.txt", "omDir sub|sub",
                                                         "omDirUp sub|sub"}));
    EXPECT_EQ(next, 1);
}

TEST_F(MirrorRunPlanningTest, ARemovedDirectorysContentComesBeforeItsRemoval)
{
    TMirrorRun run("h", home(), "/pub");
    run.Items.Add({"", "old", 0, 0, omRmdFtp, smProgress});
    int next = -1;
    const std::vector<RemoteEntry> content{entry("deep", true), entry("f", false)};
    ASSERT_TRUE(PlanCurrentRemoval(run, task, {content, "/pub/old", today}, next));
    EXPECT_EQ(operations(run), (std::vector<std::string>{"omDelFtp |f", "omRmdFtp |deep", "omRmdFtp |old"}));
    EXPECT_EQ(next, 0);
    EXPECT_EQ(run.RemotePath(), "/pub/old/");
}

} // namespace
} // namespace brisk
