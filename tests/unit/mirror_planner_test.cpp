#include "mirror/mirror_planner.h"

#include <gtest/gtest.h>

namespace brisk {
namespace {

using Lines = std::vector<std::string>;
const CalendarDate kToday{2026, 12, 6};

RemoteEntry remoteFile(std::string name, std::string size = "1", std::string date = "Dec 1", std::string time = "10:20")
{
    RemoteEntry entry;
    entry.name = std::move(name);
    entry.size = std::move(size);
    entry.date = std::move(date);
    entry.time = std::move(time);
    return entry;
}

RemoteEntry remoteDir(std::string name)
{
    RemoteEntry entry = remoteFile(std::move(name), "", "Dec 1", "10:20");
    entry.isDirectory = true;
    return entry;
}

RemoteEntry remoteLink(std::string name, bool toDirectory)
{
    RemoteEntry entry = toDirectory ? remoteDir(std::move(name)) : remoteFile(std::move(name));
    entry.attributes = "lrwxrwxrwx";
    entry.link = "target";
    return entry;
}

MirrorLocalItem localFile(std::string name, int64_t size = 1, CalendarDate date = {2026, 12, 1}, int seconds = 37200)
{
    return {std::move(name), false, false, size, {date, seconds}};
}

MirrorLocalItem localDir(std::string name)
{
    return {std::move(name), true, false, 0, {}};
}

TRecMirror task(uint8_t direction, uint8_t fileExists, uint8_t params, std::string exclusions = {})
{
    TRecMirror t;
    t.Direction = direction;
    t.FileExists = fileExists;
    t.Params = params;
    t.Exclusions = std::move(exclusions);
    return t;
}

// "omPut a|a|10|0": operation, local name, remote name, local size, remote size.
Lines render(const std::vector<TMirrorRec>& plan)
{
    Lines lines;
    for (const TMirrorRec& rec : plan) {
        EXPECT_EQ(rec.State, smNone);
        lines.push_back(std::string(MirrorOperationName(rec.Operation)) + ' ' + rec.LocalName + '|' + rec.RemoteName +
                        '|' + std::to_string(rec.LocalSize) + '|' + std::to_string(rec.RemoteSize));
    }
    return lines;
}

Lines plan(const TRecMirror& t, std::vector<RemoteEntry> remote, std::vector<MirrorLocalItem> local)
{
    return render(PlanDirectory(t, {std::move(remote), std::move(local), kToday}));
}

constexpr uint8_t kSubs = mpIncludeSubfolders;
constexpr uint8_t kDelete = mpDeleteMissing;

TEST(MirrorPlanner, IdenticalDirectoriesNeedNothingInAnyDirection)
{
    const std::vector<RemoteEntry> remote{remoteFile("a.txt", "7"), remoteFile("b", "3"), remoteDir("sub")};
    const std::vector<MirrorLocalItem> local{localFile("b", 3), localFile("a.txt", 7)};
    for (uint8_t direction : {0, 1, 2})
        for (uint8_t policy : {1, 2}) {
            EXPECT_EQ(plan(task(direction, policy, kDelete), remote, local), Lines{}) << int(direction) << int(policy);
            EXPECT_EQ(plan(task(direction, policy, kDelete), {}, {}), Lines{});
        }
}

struct NewestCase {
    const char* what;
    RemoteEntry remote;
    CalendarDate localDate;
    int localSeconds;
    bool localNewer;
    bool remoteNewer;
};

TEST(MirrorPlanner, NewestComparesAtTheListingsPrecision)
{
    const NewestCase cases[] = {
        {"same minute", remoteFile("f", "1", "Dec 1", "10:20"), {2026, 12, 1}, 10 * 3600 + 20 * 60 + 59, false, false},
        {"next minute", remoteFile("f", "1", "Dec 1", "10:20"), {2026, 12, 1}, 10 * 3600 + 21 * 60, true, false},
        {"minute before", remoteFile("f", "1", "Dec 1", "10:20"), {2026, 12, 1}, 10 * 3600 + 19 * 60 + 59, false, true},
        {"same second", remoteFile("f", "1", "01.12.26", "10:20:30"), {2026, 12, 1}, 37230, false, false},
        {"one second later", remoteFile("f", "1", "01.12.26", "10:20:30"), {2026, 12, 1}, 37231, true, false},
        {"year only, same day", remoteFile("f", "1", "Dec 24 1999", ""), {1999, 12, 24}, 86399, false, false},
        {"year only, next day", remoteFile("f", "1", "Dec 24 1999", ""), {1999, 12, 25}, 0, true, false},
        {"year only, day before", remoteFile("f", "1", "Dec 24 1999", ""), {1999, 12, 23}, 86399, false, true},
        {"no year, after today", remoteFile("f", "1", "Dec 24", "10:00"), {2026, 1, 1}, 0, true, false},
        {"unreadable date", remoteFile("f", "1", "error", "12:00"), {1980, 1, 1}, 0, true, false},
    };
    for (const NewestCase& c : cases) {
        const std::vector<MirrorLocalItem> local{localFile("F", 2, c.localDate, c.localSeconds)};
        EXPECT_EQ(plan(task(0, 1, 0), {c.remote}, local), c.localNewer ? Lines{"omPut F|F|2|1"} : Lines{}) << c.what;
        EXPECT_EQ(plan(task(1, 1, 0), {c.remote}, local), c.remoteNewer ? Lines{"omGet f|f|2|1"} : Lines{}) << c.what;
    }
}

TEST(MirrorPlanner, PoliciesForAFileOnBothSides)
{
    const std::vector<RemoteEntry> remote{remoteFile("both", "5000000000")};
    const std::vector<MirrorLocalItem> local{localFile("both", 4)};
    const std::pair<uint8_t, Lines> cases[] = {
        {0, {"omPut both|both|4|5000000000"}}, {2, {}}, {3, {"omPut both|both|4|5000000000"}}};
    for (const auto& [policy, expected] : cases) {
        EXPECT_EQ(plan(task(0, policy, 0), remote, local), expected) << int(policy);
        EXPECT_EQ(plan(task(1, policy, 0), remote, local).size(), expected.size()) << int(policy);
    }
    EXPECT_EQ(plan(task(1, 0, 0), remote, local), Lines{"omGet both|both|4|5000000000"});
}

TEST(MirrorPlanner, MirrorBothUploadsSharedFilesOnceAndNeverDeletes)
{
    const std::vector<RemoteEntry> remote{remoteFile("shared", "9"), remoteFile("remote.only", "5")};
    const std::vector<MirrorLocalItem> local{localFile("local.only", 3), localFile("SHARED", 8)};
    const Lines expected{"omPut local.only|local.only|3|0", "omPut SHARED|SHARED|8|9",
                         "omGet remote.only|remote.only|0|5"};
    EXPECT_EQ(plan(task(2, 0, kDelete), remote, local), expected);
    EXPECT_EQ(plan(task(2, 0, 0), remote, local), expected);
}

TEST(MirrorPlanner, NamesMatchWithoutRegardToLetterCase)
{
    const std::vector<RemoteEntry> remote{remoteFile("readme.txt"), remoteDir("Docs")};
    const std::vector<MirrorLocalItem> local{localFile("README.TXT"), localDir("docs")};
    EXPECT_EQ(plan(task(0, 2, kSubs | kDelete), remote, local), (Lines{"omDir docs|docs|0|0", "omDirUp docs|docs|0|0"}));
    EXPECT_EQ(plan(task(1, 2, kSubs | kDelete), remote, local), (Lines{"omDir Docs|Docs|0|0", "omDirUp Docs|Docs|0|0"}));
    EXPECT_EQ(plan(task(2, 2, kSubs), remote, local), (Lines{"omDir docs|docs|0|0", "omDirUp docs|docs|0|0"}));
}

TEST(MirrorPlanner, OneDirectorysOperationsComeInTheirPhases)
{
    const std::vector<RemoteEntry> remote{remoteDir("gone"), remoteFile("stale", "2"), remoteDir("kept")};
    const std::vector<MirrorLocalItem> local{localDir("new"), localFile("up", 6), localDir("kept")};
    EXPECT_EQ(plan(task(0, 0, kSubs | kDelete), remote, local),
              (Lines{"omPut up|up|6|0", "omDelFtp |stale|0|0", "omMkdFtp |new|0|0", "omDir new|new|0|0",
                     "omDirUp new|new|0|0", "omDir kept|kept|0|0", "omDirUp kept|kept|0|0", "omRmdFtp |gone|0|0"}));
    EXPECT_EQ(plan(task(1, 0, kSubs | kDelete), remote, local),
              (Lines{"omGet stale|stale|0|2", "omDelLoc up||0|0", "omMkdLoc gone||0|0", "omDir gone|gone|0|0",
                     "omDirUp gone|gone|0|0", "omDir kept|kept|0|0", "omDirUp kept|kept|0|0", "omRmdLoc new||0|0"}));
    EXPECT_EQ(plan(task(2, 0, kSubs | kDelete), remote, local),
              (Lines{"omPut up|up|6|0", "omGet stale|stale|0|2", "omMkdFtp |new|0|0", "omDir new|new|0|0",
                     "omDirUp new|new|0|0", "omDir kept|kept|0|0", "omDirUp kept|kept|0|0", "omMkdLoc gone||0|0",
                     "omDir gone|gone|0|0", "omDirUp gone|gone|0|0"}));
}

TEST(MirrorPlanner, DeletionOnlyWhenAskedFor)
{
    const std::vector<RemoteEntry> remote{remoteFile("r"), remoteDir("rd")};
    const std::vector<MirrorLocalItem> local{localFile("l"), localDir("ld")};
    EXPECT_EQ(plan(task(0, 2, 0), remote, local), Lines{"omPut l|l|1|0"});
    EXPECT_EQ(plan(task(1, 2, 0), remote, local), Lines{"omGet r|r|0|1"});
    EXPECT_EQ(plan(task(0, 2, kDelete), remote, local), (Lines{"omPut l|l|1|0", "omDelFtp |r|0|0"}));
    EXPECT_EQ(plan(task(1, 2, kDelete), remote, local), (Lines{"omGet r|r|0|1", "omDelLoc l||0|0"}));
}

TEST(MirrorPlanner, SubfoldersOffIgnoresDirectoriesOnBothSides)
{
    const std::vector<RemoteEntry> remote{remoteDir("remote"), remoteDir("both")};
    const std::vector<MirrorLocalItem> local{localDir("local"), localDir("both")};
    for (uint8_t direction : {0, 1, 2})
        EXPECT_EQ(plan(task(direction, 0, kDelete), remote, local), Lines{}) << int(direction);
}

TEST(MirrorPlanner, ExcludedEntriesAreNeitherTransferredNorDeleted)
{
    const std::vector<RemoteEntry> remote{remoteFile("old.BAK"), remoteDir("tmp"), remoteFile("r.txt")};
    const std::vector<MirrorLocalItem> local{localFile("new.bak"), localDir("Tmp"), localFile("l.txt")};
    const std::string exclusions = "*.bak|tmp";
    EXPECT_EQ(plan(task(0, 0, kSubs | kDelete, exclusions), remote, local),
              (Lines{"omPut l.txt|l.txt|1|0", "omDelFtp |r.txt|0|0"}));
    EXPECT_EQ(plan(task(1, 0, kSubs | kDelete, exclusions), remote, local),
              (Lines{"omGet r.txt|r.txt|0|1", "omDelLoc l.txt||0|0"}));
}

TEST(MirrorPlanner, IgnoredLinksAreSkippedOnBothSides)
{
    MirrorLocalItem localLink = localFile("ll");
    localLink.isLink = true;
    const std::vector<RemoteEntry> remote{remoteLink("rl", false), remoteLink("rld", true)};
    const std::vector<MirrorLocalItem> local{localLink};
    EXPECT_EQ(plan(task(0, 0, kSubs | kDelete | mpIgnoreSymbolicLinks), remote, local), Lines{});
    EXPECT_EQ(plan(task(1, 0, kSubs | kDelete | mpIgnoreSymbolicLinks), remote, local), Lines{});
    EXPECT_EQ(plan(task(0, 0, kSubs | kDelete), remote, local),
              (Lines{"omPut ll|ll|1|0", "omDelFtp |rl|0|0", "omRmdFtp |rld|0|0"}));
}

TEST(MirrorPlanner, RemoteRemovalDeletesFilesThenDirectoriesAndLinksThemselves)
{
    const std::vector<RemoteEntry> remote{remoteDir("d"), remoteFile("f"), remoteLink("ld", true),
                                          remoteFile("keep.bak"), remoteDir("..")};
    EXPECT_EQ(render(PlanRemoteRemoval(task(0, 0, 0, "*.bak"), remote)),
              (Lines{"omDelFtp |f|0|0", "omDelFtp |ld|0|0", "omRmdFtp |d|0|0"}));
    EXPECT_EQ(render(PlanRemoteRemoval(task(0, 0, mpIgnoreSymbolicLinks), remote)),
              (Lines{"omDelFtp |f|0|0", "omDelFtp |keep.bak|0|0", "omRmdFtp |d|0|0"}));
}

} // namespace
} // namespace brisk
