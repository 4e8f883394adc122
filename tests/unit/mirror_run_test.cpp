// A mirror run's pieces: the plan for one directory, the run's records and paths, the state file,
// the overwrite question, and the local side it reads and deletes. How a run plans the directories
// it enters and removes shows in mirror_runner_test.cpp's commands and state files.
#include "mirror/mirror_deletion.h"
#include "mirror/mirror_intake.h"
#include "mirror/mirror_local_side.h"
#include "mirror/mirror_operation_list.h"
#include "mirror/mirror_overwrite.h"
#include "mirror/mirror_planner.h"
#include "mirror/mirror_run.h"
#include "mirror/mirror_state_file.h"
#include "mirror_bookkeeping.h"
#include "scripted_user_interface.h"
#include "session/entry_names.h"
#include "file_tree.h"
#include "temp_dir.h"
#include "temp_home.h"
#include "unprivileged_access.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sys/time.h>

#include <cerrno>
#include <ctime>

namespace brisk {
namespace {

using Lines = std::vector<std::string>;
const CalendarDate kPlanDay{2026, 12, 6};

// Seconds since the epoch of a UTC date and time of day.
int64_t utc(int year, int month, int day, int seconds = 0)
{
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_sec = seconds;
    return int64_t(timegm(&parts));
}

// Listed on Dec 1 10:20 of the plan day's year, on a server whose clock is UTC.
RemoteEntry remoteFile(std::string name, std::string size = "1", std::string date = "Dec 1", std::string time = "10:20")
{
    return {false, std::move(name), std::move(size), std::move(date), std::move(time), "", ""};
}

RemoteEntry remoteDir(std::string name)
{
    return {true, std::move(name), "", "Dec 1", "10:20", "", ""};
}

RemoteEntry remoteLink(std::string name, bool toDirectory)
{
    RemoteEntry entry = toDirectory ? remoteDir(std::move(name)) : remoteFile(std::move(name));
    entry.attributes = "lrwxrwxrwx";
    entry.link = "target";
    return entry;
}

const int64_t kListed = utc(2026, 12, 1, 37200);

MirrorLocalItem localFile(std::string name, int64_t size = 1, int64_t modified = kListed)
{
    return {std::move(name), false, false, size, LocalStamp(std::time_t(modified))};
}

MirrorLocalItem localDir(std::string name)
{
    return {std::move(name), true, false, 0, LocalStamp(0)};
}

MirrorLocalItem localLink(MirrorLocalItem item)
{
    item.isLink = true;
    return item;
}

TRecMirror task(uint8_t direction, uint8_t fileExists, uint8_t params, std::string exclusions = {})
{
    return {"", "", std::move(exclusions), direction, MirrorFileExists(fileExists), params};
}

// "omPut a|a|10|0": operation, local name, remote name, local size, remote size, and the state
// unless it is "smNone".
Lines render(const std::vector<TMirrorRec>& plan)
{
    Lines lines;
    for (const TMirrorRec& rec : plan)
        lines.push_back(std::string(MirrorOperationName(rec.Operation)) + ' ' + rec.LocalName + '|' + rec.RemoteName +
                        '|' + std::to_string(rec.LocalSize) + '|' + std::to_string(rec.RemoteSize) +
                        (rec.State == smNone ? "" : " " + std::string(MirrorStateName(rec.State))));
    return lines;
}

MirrorPlan planOf(const TRecMirror& t, std::vector<RemoteEntry> remote, std::vector<MirrorLocalItem> local,
                  RemoteClock clock = {})
{
    return PlanDirectory(t, {std::move(remote), std::move(local), kPlanDay, clock});
}

Lines plan(const TRecMirror& t, std::vector<RemoteEntry> remote, std::vector<MirrorLocalItem> local)
{
    return render(planOf(t, std::move(remote), std::move(local)).records);
}

constexpr uint8_t kSubs = mpIncludeSubfolders;
constexpr uint8_t kDelete = mpDeleteMissing;
constexpr uint8_t kIgnoreLinks = mpIgnoreSymbolicLinks;

// The time zone of this process while it lives.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone)
    {
        const char* saved = std::getenv("TZ");
        had_ = saved != nullptr;
        previous_ = saved ? saved : "";
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ScopedTimeZone()
    {
        had_ ? ::setenv("TZ", previous_.c_str(), 1) : ::unsetenv("TZ");
        ::tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    bool had_ = false;
    std::string previous_;
};

// Records keep their names however the list grows: appended past its first buffers, and inserted
// in the middle while full.
TEST(MirrorOperationList, GrowingKeepsEveryRecordWhole)
{
    MirrorOperationList list;
    std::vector<std::string> expected;
    for (int i = 0; i < 100; ++i) {
        TMirrorRec rec;
        rec.LocalName = rec.RemoteName = "name" + std::to_string(i);
        const int at = i % 3 == 0 ? list.Count() / 2 : list.Count();
        list.Insert(at, rec);
        expected.insert(expected.begin() + at, rec.LocalName);
    }
    std::vector<std::string> names;
    for (const TMirrorRec& rec : list.items())
        names.push_back(rec.LocalName + "|" + rec.RemoteName);
    for (std::string& name : expected)
        name += "|" + name;
    EXPECT_EQ(names, expected);
}

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

// A listing's time stands for the whole minute (or day) it shows: the local file is newer only
// past it, older only before it.
TEST(MirrorPlanner, NewestComparesAtTheListingsPrecision)
{
    const struct {
        const char* what;
        RemoteEntry remote;
        int64_t local;
        bool localNewer;
        bool remoteNewer;
    } cases[] = {
        {"same minute", remoteFile("f", "1", "Dec 1", "10:20"), utc(2026, 12, 1, 37259), false, false},
        {"next minute", remoteFile("f", "1", "Dec 1", "10:20"), utc(2026, 12, 1, 37260), true, false},
        {"minute before", remoteFile("f", "1", "Dec 1", "10:20"), utc(2026, 12, 1, 37199), false, true},
        {"same second", remoteFile("f", "1", "01.12.26", "10:20:30"), utc(2026, 12, 1, 37230), false, false},
        {"one second later", remoteFile("f", "1", "01.12.26", "10:20:30"), utc(2026, 12, 1, 37231), true, false},
        {"year only, same day", remoteFile("f", "1", "Dec 24 1999", ""), utc(1999, 12, 24, 86399), false, false},
        {"year only, next day", remoteFile("f", "1", "Dec 24 1999", ""), utc(1999, 12, 25), true, false},
        {"year only, day before", remoteFile("f", "1", "Dec 24 1999", ""), utc(1999, 12, 23, 86399), false, true},
        {"no year, after today", remoteFile("f", "1", "Dec 24", "10:00"), utc(2026, 1, 1), true, false},
    };
    for (const auto& c : cases) {
        const std::vector<MirrorLocalItem> local{localFile("f", 2, c.local)};
        EXPECT_EQ(plan(task(0, 1, 0), {c.remote}, local), c.localNewer ? Lines{"omPut f|f|2|1"} : Lines{}) << c.what;
        EXPECT_EQ(plan(task(1, 1, 0), {c.remote}, local), c.remoteNewer ? Lines{"omGet f|f|2|1"} : Lines{}) << c.what;
    }
}

// Everything is compared in UTC: a plain listing's wall clock through the site's time zone, a
// machine listing's times (which reach the entries in this process's zone) through that zone. The
// same moment is never newer on either side, whatever zone this process runs in.
TEST(MirrorPlanner, NewestComparesInUtcWhateverTheZones)
{
    const struct {
        const char* processZone;
        RemoteClock clock;
        const char* date;
        const char* time;
    } cases[] = {
        {"America/New_York", {false, 0}, "Dec 1", "10:20"},
        {"Asia/Tokyo", {false, 0}, "Dec 1", "10:20"},
        {"UTC", {false, 9}, "Dec 1", "19:20"},
        {"Asia/Tokyo", {false, -5}, "Dec 1", "05:20"},
        {"America/New_York", {true, 0}, "01.12.26", "05:20:00"},
        {"Asia/Tokyo", {true, 0}, "01.12.26", "19:20:00"},
        {"Europe/Berlin", {true, 3}, "01.06.26", "12:20:00"},   // summer time; the site's zone plays no part
    };
    for (const auto& c : cases) {
        const ScopedTimeZone zone(c.processZone);
        const int64_t moment = std::string(c.date) == "01.06.26" ? utc(2026, 6, 1, 37200) : kListed;
        const RemoteEntry remote = remoteFile("f", "1", c.date, c.time);
        for (uint8_t direction : {0, 1})
            EXPECT_EQ(render(planOf(task(direction, 1, 0), {remote}, {localFile("f", 1, moment)}, c.clock).records),
                      Lines{})
                << c.processZone << ' ' << c.time << " direction " << int(direction);
        EXPECT_EQ(render(planOf(task(0, 1, 0), {remote}, {localFile("f", 1, moment + 60)}, c.clock).records),
                  Lines{"omPut f|f|1|1"})
            << c.processZone;
        EXPECT_EQ(render(planOf(task(1, 1, 0), {remote}, {localFile("f", 1, moment - 1)}, c.clock).records),
                  Lines{"omGet f|f|1|1"})
            << c.processZone;
    }
}

// A date that cannot be read is no time at all: "only newest" transfers that pair in neither
// direction and says so, once; the other policies do not look at dates.
TEST(MirrorPlanner, UnreadableRemoteDateIsNeverOlder)
{
    for (const char* date : {"error", "24-DEC-1999", ""}) {
        const std::vector<RemoteEntry> remote{remoteFile("f", "1", date, "12:00"), remoteFile("g")};
        const std::vector<MirrorLocalItem> local{localFile("f", 2, utc(2026, 12, 5)), localFile("g", 1, 0)};
        for (uint8_t direction : {0, 1, 2}) {
            const MirrorPlan p = planOf(task(direction, 1, 0), remote, local);
            EXPECT_EQ(render(p.records), direction == 0 ? Lines{} : Lines{"omGet g|g|1|1"}) << date << int(direction);
            EXPECT_EQ(p.notes, (std::vector<MirrorNote>{{"f", MirrorPassOver::UnreadableDate}})) << int(direction);
        }
        EXPECT_EQ(plan(task(0, 0, 0), remote, local), (Lines{"omPut f|f|2|1", "omPut g|g|1|1"}));
        EXPECT_EQ(plan(task(1, 0, 0), remote, local), (Lines{"omGet f|f|2|1", "omGet g|g|1|1"}));
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
    const std::vector<MirrorLocalItem> local{localFile("local.only", 3), localFile("shared", 8)};
    const Lines expected{"omPut local.only|local.only|3|0", "omPut shared|shared|8|9",
                         "omGet remote.only|remote.only|0|5"};
    EXPECT_EQ(plan(task(2, 0, kDelete), remote, local), expected);
    EXPECT_EQ(plan(task(2, 0, 0), remote, local), expected);
}

// Local names are case-sensitive: "Readme" and "README" are two files, and so are two directories
// that differ in case. (Which of them a case-insensitive server keeps is the server's affair.)
TEST(MirrorPlanner, EntriesPairByExactName)
{
    const std::vector<RemoteEntry> remote{remoteFile("README"), remoteDir("Docs")};
    const std::vector<MirrorLocalItem> local{localFile("Readme"), localDir("docs")};
    EXPECT_EQ(plan(task(0, 2, kSubs | kDelete), remote, local),
              (Lines{"omPut Readme|Readme|1|0", "omDelFtp |README|0|0", "omMkdFtp |docs|0|0", "omDir docs|docs|0|0",
                     "omDirUp docs|docs|0|0", "omRmdFtp |Docs|0|0"}));
    EXPECT_EQ(plan(task(1, 2, kSubs | kDelete), remote, local),
              (Lines{"omGet README|README|0|1", "omDelLoc Readme||0|0", "omMkdLoc Docs||0|0", "omDir Docs|Docs|0|0",
                     "omDirUp Docs|Docs|0|0", "omRmdLoc docs||0|0"}));
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

// Without subfolders no directory is entered, created or removed, on either side.
TEST(MirrorPlanner, DeletionOnlyWhenAskedForAndDirectoriesOnlyWithSubfolders)
{
    const std::vector<RemoteEntry> remote{remoteFile("r"), remoteDir("rd"), remoteDir("both")};
    const std::vector<MirrorLocalItem> local{localFile("l"), localDir("ld"), localDir("both")};
    EXPECT_EQ(plan(task(0, 2, 0), remote, local), Lines{"omPut l|l|1|0"});
    EXPECT_EQ(plan(task(1, 2, 0), remote, local), Lines{"omGet r|r|0|1"});
    EXPECT_EQ(plan(task(0, 2, kDelete), remote, local), (Lines{"omPut l|l|1|0", "omDelFtp |r|0|0"}));
    EXPECT_EQ(plan(task(1, 2, kDelete), remote, local), (Lines{"omGet r|r|0|1", "omDelLoc l||0|0"}));
    EXPECT_EQ(plan(task(2, 2, kDelete), remote, local), (Lines{"omPut l|l|1|0", "omGet r|r|0|1"}));
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

// Ignored links are left alone on both sides, and so is whatever bears their name on the other
// side: a link is never a reason to create, delete or overwrite anything.
TEST(MirrorPlanner, IgnoredLinksAreNoReasonToActOnEitherSide)
{
    const std::vector<RemoteEntry> remote{remoteLink("rl", false), remoteLink("rld", true), remoteFile("lf"),
                                          remoteDir("ld")};
    const std::vector<MirrorLocalItem> local{localLink(localFile("lf")), localLink(localDir("ld")), localFile("rl"),
                                             localDir("rld")};
    for (uint8_t direction : {0, 1, 2})
        for (uint8_t policy : {0, 1}) {
            const MirrorPlan p = planOf(task(direction, policy, kSubs | kDelete | kIgnoreLinks), remote, local);
            EXPECT_EQ(render(p.records), Lines{}) << int(direction) << int(policy);
            EXPECT_TRUE(p.notes.empty());
        }
    EXPECT_EQ(plan(task(0, 0, kSubs | kDelete), {remoteLink("rl", false), remoteLink("rld", true)},
                   {localLink(localFile("ll"))}),
              (Lines{"omPut ll|ll|1|0", "omDelFtp |rl|0|0", "omDelFtp |rld|0|0"}));
}

// Links are not ignored: a local link to a file is read like the file but never written through;
// a local link to a directory is never entered, nor is its name created or deleted on the other
// side. What they stand in the way of fails, by name.
TEST(MirrorPlanner, LocalLinksAreNeverEnteredNorWrittenThrough)
{
    const std::vector<RemoteEntry> remote{remoteFile("lf", "1", "Dec 5", "10:00"), remoteDir("ld")};
    const std::vector<MirrorLocalItem> local{localLink(localFile("lf", 4)), localLink(localDir("ld")),
                                             localLink(localDir("new"))};
    MirrorPlan up = planOf(task(0, 0, kSubs | kDelete), remote, local);
    EXPECT_EQ(render(up.records), (Lines{"omPut lf|lf|4|1", "omDir ld|ld|0|0 smError", "omDir new|new|0|0 smError"}));
    EXPECT_EQ(up.notes, (std::vector<MirrorNote>{{"ld", MirrorPassOver::LinkNotFollowed},
                                                 {"new", MirrorPassOver::LinkNotFollowed}}));
    MirrorPlan down = planOf(task(1, 0, kSubs | kDelete), remote, local);
    EXPECT_EQ(render(down.records),
              (Lines{"omGet lf|lf|4|1 smError", "omDir ld|ld|0|0 smError", "omDir new|new|0|0 smError"}));
    EXPECT_EQ(down.notes, (std::vector<MirrorNote>{{"lf", MirrorPassOver::TargetIsLink},
                                                   {"ld", MirrorPassOver::LinkNotFollowed},
                                                   {"new", MirrorPassOver::LinkNotFollowed}}));
    EXPECT_EQ(plan(task(1, 1, kDelete), {}, local), Lines{"omDelLoc lf||0|0"});
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

// What the runner lets through to the planner: unreadable lines and unsafe names are refused and
// count; "NAME.part" beside NAME on the other side is an unfinished transfer's and does not.
TEST(MirrorIntake, OnlyPlainNamesReachThePlanner)
{
    RemoteEntry unreadable = remoteFile("total 12 garbage");
    unreadable.unreadable = true;
    const std::vector<RemoteEntry> remote{remoteFile("ok"), unreadable, remoteFile("../.."), remoteDir("a/b"),
                                          remoteFile(std::string("n\0l", 3)), remoteFile("up.txt.part"),
                                          remoteFile("both.part"), remoteFile("down.txt")};
    const std::vector<MirrorLocalItem> local{localFile("up.txt"), localFile("cr\rlf"), localFile("down.txt.part"),
                                             localFile("both"), localFile("both.part"), localDir("d")};
    const MirrorIntake intake = TakeMirrorEntries(remote, local);
    Lines kept, refused;
    for (const RemoteEntry& entry : intake.remote)
        kept.push_back("remote " + entry.name);
    for (const MirrorLocalItem& item : intake.local)
        kept.push_back("local " + item.name);
    for (const MirrorRefusal& r : intake.refused)
        refused.push_back(std::string(r.remote ? "remote " : "local ") + PrintableName(r.name) + " " +
                          std::to_string(r.why) + (r.counts ? " counts" : ""));
    EXPECT_EQ(kept, (Lines{"remote ok", "remote both.part", "remote down.txt", "local up.txt", "local both",
                           "local both.part", "local d"}));
    const auto why = [](MainExtraMessage m) { return std::to_string(m); };
    EXPECT_EQ(refused, (Lines{"remote total 12 garbage " + why(xmsgUnreadableLine) + " counts",
                              "remote ../.. " + why(xmsgNotSendable) + " counts",
                              "remote a/b " + why(xmsgNotSendable) + " counts",
                              "remote n?l " + why(xmsgNotSendable) + " counts",
                              "local cr?lf " + why(xmsgNotSendable) + " counts",
                              "remote up.txt.part " + why(xmsgPartialFile),
                              "local down.txt.part " + why(xmsgPartialFile)}));
}

// Sub paths and full paths always end in a separator, and follow the remote directory.
TEST(MirrorRunPaths, SubPathsAndFullPaths)
{
    const struct {
        std::string root;
        std::string sub;
        std::string paths;   // remote sub|remote path|local sub|local path
    } cases[] = {
        {"/pub", "", "|/pub/||/pub/"},
        {"/pub", "a", "/a/|/pub/a/|/a/|/pub/a/"},
        {"/pub/", "a/b", "a/b/|/pub/a/b/|a/b/|/pub/a/b/"},
        {"/pub", "\\a\\b", "/a/b/|/pub/a/b/|/\\a\\b/|/pub/\\a\\b/"},
        {"/", "a", "a/|/a/|a/|/a/"},
        {"", "a", "a/|a/|a/|a/"},
    };
    for (const auto& c : cases) {
        TMirrorRun run("h", c.root, c.root);
        run.SetRemoteSub(c.sub);
        run.SetLocalSub(c.sub);
        EXPECT_EQ(run.RemoteSub + '|' + run.RemotePath() + '|' + run.LocalSub + '|' + run.LocalPath(), c.paths);
    }
    TMirrorRun run("h", "/home/u/site", "/pub");
    run.FollowRemoteDir("/pub/a/b");
    EXPECT_EQ(run.RemotePath() + " " + run.LocalPath(), "/pub/a/b/ /home/u/site/a/b/");
    run.FollowRemoteDir("/pub");
    EXPECT_EQ(run.RemotePath() + " " + run.LocalPath(), "/pub/ /home/u/site/");
}

using States = std::vector<TMirrorState>;

States states(const TMirrorRun& run)
{
    States result;
    for (const TMirrorRec& rec : run.Items.items())
        result.push_back(rec.State);
    return result;
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
    EXPECT_EQ(states(run), (States{smDone, smError, smNone, smProgress}));
    run.Stop();
    EXPECT_FALSE(run.FindNext(index));
    EXPECT_EQ(index, -1);
    run.Resume();
    EXPECT_TRUE(run.FindNext(index));
}

TMirrorRec step(TMirrorOperation operation, const std::string& name, TMirrorState state = smNone)
{
    const bool localOnly = operation == omMkdLoc;
    return {name, localOnly ? "" : name, 0, 0, operation, state};
}

// A failure marks only what depends on it: a directory that could not be created (on either side)
// or entered is neither entered nor left, and the siblings after it stay as planned. A directory
// entered but not listed fails and is left again. A failed omDirUp leaves the run lost.
TEST(MirrorRun, AFailureMarksOnlyItsOwnSubtree)
{
    const struct {
        const char* what;
        std::vector<TMirrorRec> records;   // the first one is current and in progress
        bool listed;                       // MarkFailed, else MarkUnlisted
        States after;
        int next;                          // FindNext afterwards, -1 when stopped
    } cases[] = {
        {"remote directory not created",
         {step(omMkdFtp, "new", smProgress), step(omDir, "new"), step(omDirUp, "new"), step(omDir, "next"),
          step(omDirUp, "next"), step(omRmdFtp, "gone")},
         true, {smError, smError, smError, smNone, smNone, smNone}, 3},
        {"local directory not created",
         {step(omMkdLoc, "new", smProgress), step(omDir, "new"), step(omDirUp, "new"), step(omMkdLoc, "b"),
          step(omDir, "b"), step(omDirUp, "b")},
         true, {smError, smError, smError, smNone, smNone, smNone}, 3},
        {"directory not entered",
         {step(omDir, "x", smProgress), step(omDirUp, "x"), step(omDir, "y"), step(omDirUp, "y")},
         true, {smError, smError, smNone, smNone}, 2},
        {"transfer failed", {step(omPut, "f", smProgress), step(omDir, "f"), step(omDirUp, "f")},
         true, {smError, smNone, smNone}, 1},
        {"directory not left", {step(omDirUp, "d", smProgress), step(omDir, "e"), step(omDirUp, "e")},
         true, {smError, smNone, smNone}, -1},
        {"directory entered, not listed",
         {step(omDir, "x", smProgress), step(omDirUp, "x"), step(omDir, "y"), step(omDirUp, "y")},
         false, {smError, smNone, smNone, smNone}, 1},
        {"directory under removal entered, not listed", {step(omRmdFtp, "gone", smProgress), step(omDir, "y")},
         false, {smNone, smError, smNone}, 0},
    };
    for (const auto& c : cases) {
        TMirrorRun run("h", "/l", "/r");
        run.Items.Place(c.records, true, 0);
        c.listed ? run.MarkFailed() : run.MarkUnlisted();
        EXPECT_EQ(states(run), c.after) << c.what;
        EXPECT_EQ(run.Current, 0) << c.what;
        int index = 0;
        EXPECT_EQ(run.FindNext(index), c.next >= 0) << c.what;
        EXPECT_EQ(index, c.next) << c.what;
    }
}

// A run's bookkeeping (placing plans, finding the next record, marking, the state file) grows
// with the number of operations, whether the tree is deep in files or wide in directories.
TEST(MirrorRun, BookkeepingWorkGrowsLinearly)
{
    const auto work = [](test::BookkeepingShape shape) {
        TMirrorRun run("h", "/l", "/r");
        std::string text;
        const int operations = test::RunMirrorBookkeeping(run, shape, text);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), operations + 6);
        EXPECT_EQ(text.find("smNone"), std::string::npos);
        return double(run.Items.work()) / operations;
    };
    for (const test::BookkeepingShape& small : {test::BookkeepingShape{20, 50, 7}, test::BookkeepingShape{500, 1, 0}}) {
        const test::BookkeepingShape large{small.dirs * 10, small.filesPerDir, small.unlistedEvery};
        EXPECT_LT(work(large), 2 * work(small)) << small.dirs << " x " << small.filesPerDir;
    }
}

// Files in a fresh ProgramDir.
class MirrorFilesTest : public TempHomeTest {};

TEST_F(MirrorFilesTest, SaveStateWritesWhereTheRunStandsAndEachRecord)
{
    TMirrorRun run("ftp.example", "/home/u/site", "/pub");
    run.FollowRemoteDir("/pub/sub");
    for (const TMirrorRec& rec : {TMirrorRec{"", "old.txt", 0, 0, omDelFtp, smDone},
                                  TMirrorRec{"big.iso", "big.iso", 5000000000, 12, omPut, smError},
                                  TMirrorRec{"d", "d", 0, 0, omDirUp, smNone},
                                  TMirrorRec{"", "x", 0, 0, omRmdFtp, smProgress}})
        run.Items.Add(rec);
    run.Stop();
    ASSERT_TRUE(run.SaveState());
    EXPECT_EQ(readFile(home() + "mirrorstate.txt"), "ftp.example\r\n/home/u/site\r\n/pub\r\n/sub/\r\n/sub/\r\nStopped\r\n"
                                                   "\told.txt\t0\t0\tomDelFtp\tsmDone\r\n"
                                                   "big.iso\tbig.iso\t5000000000\t12\tomPut\tsmError\r\n"
                                                   "d\td\t0\t0\tomDirUp\tsmNone\r\n"
                                                   "\tx\t0\t0\tomRmdFtp\tsmProgress\r\n");
    EXPECT_FALSE(WriteMirrorState(home() + "missing/" + kMirrorStateFileName, {}, {}));
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
        const auto exists = [this](const TMirrorRec& rec) {
            return existing.count(rec.Operation == omGet ? "local:" + rec.LocalName : "remote:" + rec.RemoteName) > 0;
        };
        MirrorOverwriteContext context{overwriteAll, resumeThis, prompting, defPrompt, exists, ui};
        return CheckMirrorOverwrite(run, index, context);
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

// Without prompting the default decides: 2 resumes, 1 overwrites, 0 skips.
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

TEST_F(MirrorOverwriteTest, SaveAsRenamesTheTargetAndAsksAgainWhileItExists)
{
    existing.insert("remote:c.txt");
    ui.answerOverwrite(OverwriteChoice::SaveAs, "c.txt");
    ui.answerOverwrite(OverwriteChoice::SaveAs, "d.txt");
    EXPECT_TRUE(check(1));
    EXPECT_EQ(item(1), (TMirrorRec{"b.txt", "d.txt", 3, 5, omPut, smNone}));
    EXPECT_EQ(ui.overwriteAsked, (std::vector<std::string>{"b.txt", "c.txt"}));
}

using Items = std::vector<std::string>;

Items describe(const std::optional<std::vector<MirrorLocalItem>>& items)
{
    Items seen;
    for (const MirrorLocalItem& item : items.value_or(std::vector<MirrorLocalItem>{}))
        seen.push_back(item.name + (item.isDirectory ? " dir " : " file ") + std::to_string(item.size) +
                       (item.isLink ? " link" : ""));
    std::sort(seen.begin(), seen.end());
    return seen;
}

// Entries with their sizes and times; a link is marked and tells what it points to.
TEST_F(MirrorFilesTest, LocalDirectoryEntriesWithSizeTimeAndLinks)
{
    writeFile(home() + "site/a.txt", "hello");
    std::filesystem::create_directories(home() + "site/sub");
    std::filesystem::create_symlink(home() + "site/sub", home() + "site/to-sub");
    std::filesystem::create_symlink(home() + "site/a.txt", home() + "site/to-a");
    std::filesystem::create_symlink("nowhere", home() + "site/dangling");
    const timeval times[2] = {{1700000000, 0}, {1700000000, 0}};
    ASSERT_EQ(utimes((home() + "site/a.txt").c_str(), times), 0);
    MirrorLocalDir dir(home() + "site", "");
    const auto items = dir.read();
    ASSERT_TRUE(items) << dir.error();
    EXPECT_EQ(describe(items), (Items{"a.txt file 5", "dangling file 7 link", "sub dir 0", "to-a file 5 link",
                                      "to-sub dir 0 link"}));
    EXPECT_EQ(describe(dir.read()), describe(items));   // read again, from the start
    const auto file = std::find_if(items->begin(), items->end(), [](const auto& item) { return item.name == "a.txt"; });
    EXPECT_EQ(file->modified.utc, 1700000000);
    EXPECT_TRUE(file->modified.known);
}

// Below the root no link is followed, whatever replaced a directory since it was planned; nothing
// is made or removed through one, and ".." never leads out.
TEST_F(MirrorFilesTest, LocalDirectoriesAreReachedWithoutFollowingLinks)
{
    writeFile(home() + "outside/keep.txt", "k");
    writeFile(home() + "site/real/f.txt", "f");
    std::filesystem::create_symlink(home() + "outside", home() + "site/real/link");
    std::filesystem::create_symlink(home() + "outside/keep.txt", home() + "site/real/file-link");
    const auto outsideBefore = test::treeOf(home() + "outside");
    for (const char* sub : {"/real/link/", "real/link", "/real/../real/", "/real/file-link/"}) {
        MirrorLocalDir through(home() + "site", sub);
        EXPECT_FALSE(through.read()) << sub;
        EXPECT_NE(through.error(), 0) << sub;
        EXPECT_FALSE(through.makeDirectory("new")) << sub;
        EXPECT_FALSE(through.removeFile("keep.txt")) << sub;
    }
    MirrorLocalDir real(home() + "site", "/real/");
    EXPECT_EQ(describe(real.read()), (Items{"f.txt file 1", "file-link file 1 link", "link dir 0 link"}));
    EXPECT_TRUE(real.removeFile("file-link"));
    EXPECT_TRUE(real.removeFile("link"));
    EXPECT_TRUE(real.makeDirectory("link"));
    EXPECT_TRUE(std::filesystem::is_directory(home() + "site/real/link"));
    EXPECT_EQ(test::treeOf(home() + "outside"), outsideBefore);
}

// A directory that cannot be read is no empty one: reading it fails with the system's reason.
TEST_F(MirrorFilesTest, UnreadableLocalDirectoryIsAFailure)
{
    const test::TempDir tmp(0755);
    std::filesystem::create_directories(tmp.path() / "site/locked");
    writeFile((tmp.path() / "site/locked/k.txt").string(), "k");
    std::filesystem::permissions(tmp.path() / "site/locked", std::filesystem::perms::none);
    {
        const test::UnprivilegedAccess nobody;
        MirrorLocalDir locked((tmp.path() / "site").string(), "/locked/");
        EXPECT_FALSE(locked.read());
        EXPECT_EQ(locked.error(), EACCES);
    }
    std::filesystem::permissions(tmp.path() / "site/locked", std::filesystem::perms::owner_all);
    MirrorLocalDir missing(home(), "/missing/");
    EXPECT_FALSE(missing.read());
    EXPECT_EQ(missing.error(), ENOENT);
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
    EXPECT_EQ(ui.questions[0].caption + ": " + ui.questions[0].text, "Attention: Do you wish to remove \"/pub/x/\"?");
    EXPECT_EQ(ui.questions[1].text, "Do you wish to remove \"/home/u/a.txt\"?");
}

// An excluded entry stays, and so does every directory above it; that is no failure.
TEST_F(MirrorFilesTest, RemovesTheTreeButNeverWhatLinksPointToNorWhatIsExcluded)
{
    writeFile(home() + "outside/keep.txt", "k");
    writeFile(home() + "tree/a/b/c.txt", "c");
    std::filesystem::create_symlink(home() + "outside", home() + "tree/a/link");
    std::filesystem::create_symlink(home() + "outside", home() + "rootlink");
    TRecMirror task;
    EXPECT_TRUE(DeleteLocalTree(home() + "tree", task).failed.empty());
    EXPECT_TRUE(DeleteLocalTree(home() + "rootlink", task).failed.empty());
    EXPECT_FALSE(std::filesystem::exists(home() + "tree"));
    EXPECT_FALSE(std::filesystem::is_symlink(home() + "rootlink"));
    EXPECT_TRUE(std::filesystem::exists(home() + "outside/keep.txt"));

    for (const char* path : {"kept/x/y.keep", "kept/x/z.txt", "kept/w/v.txt", "kept/top.txt"})
        writeFile(home() + path, "f");
    task.Exclusions = "*.keep";
    EXPECT_TRUE(DeleteLocalTree(home() + "kept", task).failed.empty());
    EXPECT_EQ(test::treeOf(home() + "kept"), (std::map<std::string, std::string>{{"x", "<dir>"}, {"x/y.keep", "f"}}));
}

} // namespace
} // namespace brisk
