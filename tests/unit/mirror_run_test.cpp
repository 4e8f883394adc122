// A mirror run's pieces: the plan for one directory, the run's records and paths, the state file,
// the overwrite question, and the local side it reads and deletes. How a run plans the directories
// it enters and removes shows in mirror_runner_test.cpp's commands and state files.
#include "mirror/mirror_deletion.h"
#include "mirror/mirror_local_side.h"
#include "mirror/mirror_overwrite.h"
#include "mirror/mirror_planner.h"
#include "mirror/mirror_run.h"
#include "mirror/mirror_state_file.h"
#include "scripted_user_interface.h"
#include "temp_home.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sys/time.h>

namespace brisk {
namespace {

using Lines = std::vector<std::string>;
const CalendarDate kPlanDay{2026, 12, 6};

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
    return render(PlanDirectory(t, {std::move(remote), std::move(local), kPlanDay}));
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

// Files in a fresh ProgramDir.
class MirrorFilesTest : public TempHomeTest {};

TEST_F(MirrorFilesTest, SaveStateWritesWhereTheRunStandsIntoTheProgramDirectory)
{
    TMirrorRun run("ftp.example", "/home/u/site", "/pub");
    run.FollowRemoteDir("/pub/sub");
    run.Items.Add({"", "gone.txt", 0, 0, omDelFtp, smDone});
    run.Stop();
    ASSERT_TRUE(run.SaveState());
    EXPECT_EQ(readFile(home() + "mirrorstate.txt"), "ftp.example\r\n/home/u/site\r\n/pub\r\n/sub/\r\n/sub/\r\nStopped\r\n"
                                                   "\tgone.txt\t0\t0\tomDelFtp\tsmDone\r\n");
    EXPECT_FALSE(WriteMirrorState(home() + "missing/" + kMirrorStateFileName, {}, {}));
}

TEST_F(MirrorFilesTest, RecordLinesCarryNamesSizesOperationAndState)
{
    const MirrorStateHeader header{"h", "L", "/r", "sub\\", "sub/", true};
    const std::vector<TMirrorRec> items{
        {"", "old.txt", 0, 0, omDelFtp, smDone},
        {"big.iso", "big.iso", 5000000000, 12, omPut, smError},
        {"d", "d", 0, 0, omDirUp, smNone},
        {"", "x", 0, 0, omRmdFtp, smProgress},
    };
    EXPECT_EQ(FormatMirrorState(header, items), "h\r\nL\r\n/r\r\nsub\\\r\nsub/\r\nStopped\r\n"
                                                "\told.txt\t0\t0\tomDelFtp\tsmDone\r\n"
                                                "big.iso\tbig.iso\t5000000000\t12\tomPut\tsmError\r\n"
                                                "d\td\t0\t0\tomDirUp\tsmNone\r\n"
                                                "\tx\t0\t0\tomRmdFtp\tsmProgress\r\n");
}

class MirrorOverwriteTest : public testing::Test {
protected:
    MirrorOverwriteTest()
    {
        run.Items.Add({"a.txt", "a.txt", 3, 5, omGet, smNone});
        run.Items.Add({"b.txt", "b.txt", 3, 5, omPut, smNone});
    }

    bool check(int index, bool prompting = true, int defPrompt = 1)
    {
        MirrorOverwriteContext context{overwriteAll, resumeThis, prompting, defPrompt,
                                       [this](const TMirrorRec& rec) { return exists(rec); }, ui};
        return CheckMirrorOverwrite(run, index, context);
    }

    bool exists(const TMirrorRec& rec) const
    {
        return existing.count(rec.Operation == omGet ? "local:" + rec.LocalName : "remote:" + rec.RemoteName) > 0;
    }

    TMirrorRec item(int index) const { return run.Items.items()[size_t(index)]; }

    TMirrorRun run{"h", "/l", "/r"};
    std::set<std::string> existing{"local:a.txt", "remote:b.txt"};
    bool overwriteAll = false;
    bool resumeThis = true;
    test::ScriptedUserInterface ui;
};

// A missing target goes unasked, and Cancel stops the run: mirror_runner_test.cpp's "Ask" policy.
TEST_F(MirrorOverwriteTest, AnswersOfTheQuestion)
{
    ui.answerOverwrite(OverwriteChoice::Resume);
    EXPECT_TRUE(check(0));
    EXPECT_TRUE(resumeThis);
    ui.answerOverwrite(OverwriteChoice::Overwrite);
    EXPECT_TRUE(check(1));
    EXPECT_FALSE(resumeThis);
    ui.answerOverwrite(OverwriteChoice::Skip);
    EXPECT_FALSE(check(0));
    EXPECT_EQ(item(0).State, smDone);
    EXPECT_FALSE(run.Stopped);
    EXPECT_EQ(ui.overwriteAsked, (std::vector<std::string>{"a.txt", "b.txt", "a.txt"}));
    ui.answerOverwrite(OverwriteChoice::All);
    EXPECT_TRUE(check(1));
    EXPECT_TRUE(check(1));
    EXPECT_EQ(ui.overwriteAsked.size(), 4u);
}

TEST_F(MirrorOverwriteTest, SaveAsRenamesTheTargetAndAsksAgainWhileItExists)
{
    existing.insert("remote:c.txt");
    ui.answerOverwrite(OverwriteChoice::SaveAs, "c.txt");
    ui.answerOverwrite(OverwriteChoice::SaveAs, "d.txt");
    EXPECT_TRUE(check(1));
    EXPECT_EQ(item(1), (TMirrorRec{"b.txt", "d.txt", 3, 5, omPut, smNone}));
    EXPECT_EQ(ui.overwriteAsked, (std::vector<std::string>{"b.txt", "c.txt"}));
}

TEST_F(MirrorOverwriteTest, WithoutPromptingTheDefaultDecides)
{
    EXPECT_TRUE(check(0, false, 2));
    EXPECT_TRUE(resumeThis);
    EXPECT_TRUE(check(0, false, 1));
    EXPECT_FALSE(resumeThis);
    EXPECT_FALSE(check(0, false, 0));
    EXPECT_EQ(item(0).State, smDone);
    EXPECT_TRUE(ui.overwriteAsked.empty());
}

TEST_F(MirrorFilesTest, FilesDirectoriesAndLinksWithSizeAndTime)
{
    writeFile(home() + "site/a.txt", "hello");
    std::filesystem::create_directories(home() + "site/sub");
    std::filesystem::create_symlink(home() + "site/sub", home() + "site/to-sub");
    const timeval times[2] = {{1700000000, 0}, {1700000000, 0}};
    ASSERT_EQ(utimes((home() + "site/a.txt").c_str(), times), 0);

    std::vector<MirrorLocalItem> items = ReadMirrorLocal(home() + "site");
    std::sort(items.begin(), items.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].name, "a.txt");
    EXPECT_FALSE(items[0].isDirectory || items[0].isLink);
    EXPECT_EQ(items[0].size, 5);
    const MirrorStamp expected = LocalStamp(1700000000);
    EXPECT_EQ(items[0].modified.date, expected.date);
    EXPECT_EQ(items[0].modified.seconds, expected.seconds);
    EXPECT_TRUE(items[1].isDirectory && !items[1].isLink);
    EXPECT_TRUE(items[2].isDirectory && items[2].isLink);
    EXPECT_TRUE(ReadMirrorLocal(home() + "missing").empty());
}

TEST(MirrorStamps, LocalTimeIsReadInTheLocalTimeZone)
{
    const char* saved = std::getenv("TZ");
    const std::string previous = saved ? saved : "";
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    const MirrorStamp stamp = LocalStamp(1700000000);   // 2023-11-14 22:13:20 UTC
    EXPECT_EQ(stamp.date, (CalendarDate{2023, 11, 14}));
    EXPECT_EQ(stamp.seconds, 22 * 3600 + 13 * 60 + 20);
    saved ? ::setenv("TZ", previous.c_str(), 1) : ::unsetenv("TZ");
    ::tzset();
}

TEST(MirrorDeletion, AsksOnlyWhenThePromptIsOn)
{
    test::ScriptedUserInterface ui;
    const MainMessages messages;
    TRecMirror task;
    task.Params = mpIncludeSubfolders;
    EXPECT_TRUE(ConfirmMirrorDelete(task, "/pub/x", true, ui, messages));
    task.Params |= mpPromptBeforeDelete;
    ui.answerNo();
    EXPECT_FALSE(ConfirmMirrorDelete(task, "/pub/x", true, ui, messages));
    ui.answerYes();
    EXPECT_TRUE(ConfirmMirrorDelete(task, "/home/u/a.txt", false, ui, messages));
    ASSERT_EQ(ui.questions.size(), 2u);
    EXPECT_EQ(ui.questions[0].caption, "Attention");
    EXPECT_EQ(ui.questions[0].text, "Do you wish to remove /pub/x folder(es)");
    EXPECT_EQ(ui.questions[1].text, "Do you wish to remove /home/u/a.txt file(s)");
}

TEST_F(MirrorFilesTest, RemovesTheTreeButNeverWhatLinksPointTo)
{
    writeFile(home() + "outside/keep.txt", "k");
    writeFile(home() + "tree/a/b/c.txt", "c");
    std::filesystem::create_symlink(home() + "outside", home() + "tree/a/link");
    std::filesystem::create_symlink(home() + "outside", home() + "rootlink");
    DeleteLocalTree(home() + "tree");
    DeleteLocalTree(home() + "rootlink");
    EXPECT_FALSE(std::filesystem::exists(home() + "tree"));
    EXPECT_FALSE(std::filesystem::is_symlink(home() + "rootlink"));
    EXPECT_TRUE(std::filesystem::exists(home() + "outside/keep.txt"));
}

} // namespace
} // namespace brisk
