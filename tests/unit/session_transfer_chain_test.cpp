#include "file_io.h"
#include "platform/event_loop.h"
#include "file_tree.h"
#include "session/entry_names.h"
#include "tree_session_test.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <memory>
#include <utility>

namespace brisk::test {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
using Tree = std::map<std::string, std::string>;

class TransferChainTest : public TreeSessionTest {
protected:
    Strings download(const Strings& names)
    {
        select(names);
        return run([&] { rig->c.StartDownload(); });
    }
    Strings upload(const Strings& names) { return run([&] { rig->c.StartUpload(names); }); }
    void writeLocal(const std::string& relative, const std::string& bytes)
    {
        fs::create_directories((local / relative).parent_path());
        writeFileBytes(local / relative, bytes);
    }
};

// Files selected in the panel come first, then each directory is entered and listed, its
// subdirectories visited after it; the panel returns to where the transfer started.
TEST_F(TransferChainTest, DownloadsAMixedSelectionWithWholeTrees)
{
    server.addFile("/f1.txt", 3);
    server.addFile("/t/a.txt", 5);
    server.addDir("/t/empty");
    server.addFile("/t/s1/b.txt", 2);
    ASSERT_TRUE(open());
    EXPECT_EQ(download({"f1.txt", "t"}),
              (Strings{"RETR /f1.txt", "CWD /t", "LIST", "RETR a.txt", "CWD /t/empty", "LIST", "CWD /t/s1", "LIST",
                       "RETR b.txt", "CWD /", "LIST"}));
    EXPECT_EQ(treeOf(local), (Tree{{"f1.txt", "xxx"}, {"t", "<dir>"}, {"t/a.txt", "xxxxx"}, {"t/empty", "<dir>"},
                                   {"t/s1", "<dir>"}, {"t/s1/b.txt", "xx"}}));
    EXPECT_EQ(summary(), "Transfer finished: 3 transferred, 0 skipped, 0 failed");
    EXPECT_EQ(loggedWith("Starting transfer of"),
              (Strings{"Starting transfer of f1.txt", "Starting transfer of a.txt", "Starting transfer of b.txt"}));
    EXPECT_EQ(rig->ui.progress.calls,
              (Strings{"open", "start /f1.txt 3 receive", "end", "start a.txt 5 receive", "end",
                       "start b.txt 2 receive", "end", "close"}));
    EXPECT_EQ(rig->local.refreshes, 1);
    EXPECT_FALSE(rig->c.NavigationBusy());

    // A file found in a subdirectory keeps the day its listing line gives ("Jan 01  2020").
    std::tm day{};
    day.tm_year = 120, day.tm_mon = 0, day.tm_mday = 1, day.tm_isdst = -1;
    EXPECT_EQ(fs::last_write_time(local / "t/s1/b.txt"),
              fs::file_time_type::clock::from_sys(std::chrono::system_clock::from_time_t(std::mktime(&day))));
}

// A listing's names are never paths: nothing is written outside the directory being filled, and a
// link to a directory is not entered (it could loop forever).
TEST_F(TransferChainTest, HostileNamesInAListingAreSkippedAndLogged)
{
    server.addFile("/t/ok.txt", 2);
    server.setRawListing("/t", "-rw-r--r--   1 o g 3 Jan 01  2020 ../x\r\n"
                               "-rw-r--r--   1 o g 3 Jan 01  2020 a/b\r\n"
                               "drwxr-xr-x   1 o g 0 Jan 01  2020 ..\r\n"
                               "lrwxrwxrwx   1 o g 1 Jan 01  2020 loop -> .\r\n"
                               "-rw-r--r--   1 o g 2 Jan 01  2020 ok.txt\r\n");
    ASSERT_TRUE(open());
    const Strings sent = download({"t"});
    EXPECT_EQ(sent, (Strings{"CWD /t", "LIST", "RETR ok.txt", "CWD /", "LIST"}));
    EXPECT_EQ(treeOf(tmp.path()), (Tree{{"local", "<dir>"}, {"local/t", "<dir>"}, {"local/t/ok.txt", "xx"}}));
    EXPECT_EQ(loggedWith("Skipped").size(), 3u) << ::testing::PrintToString(loggedWith("Skipped"));
    // The link is left by rule; the names that cannot be written make the copy incomplete.
    EXPECT_EQ(summary(), "Transfer finished: 1 transferred, 1 skipped, 2 failed");
    EXPECT_EQ(loggedWith("Failed: "), (Strings{"Failed: /t/../x", "Failed: /t/a/b"}));
}

// A directory that cannot be entered or listed fails by name with everything below it; nothing of
// it is made locally, and its siblings are still fetched. A link to a file is fetched as the file,
// by its own name; a link to a directory is never entered.
TEST_F(TransferChainTest, ADirectoryThatCannotBeReadFailsAloneAndLinksToFilesAreFiles)
{
    server.addFile("/t/a.txt", 3);
    server.addFile("/t/locked/x.txt", 1);
    server.addFile("/t/ok/z.txt", 4);
    server.addFile("/t/unlisted/y.txt", 1);
    server.addFile("/l/real.txt", 5);
    server.addFile("/l/real.lnk", 5);   // what RETR of the link sends
    server.setRawListing("/l", "-rw-r--r--   1 o g 5 Jan 01  2020 real.txt\r\n"
                               "lrwxrwxrwx   1 o g 8 Jan 01  2020 real.lnk -> real.txt\r\n"
                               "lrwxrwxrwx   1 o g 1 Jan 01  2020 up -> /t\r\n");
    server.peer().onLine("CWD /t/locked", "550 Permission denied.\r\n");
    server.failListing("/t/unlisted", "550 Permission denied.\r\n");
    ASSERT_TRUE(open());
    writeLocal("outside.txt", "keep");
    EXPECT_EQ(download({"t", "l"}),
              (Strings{"CWD /l", "LIST", "RETR real.txt", "RETR real.lnk", "CWD /t", "LIST", "RETR a.txt",
                       "CWD /t/locked", "CWD /t/ok", "LIST", "RETR z.txt", "CWD /t/unlisted", "LIST", "CWD /",
                       "LIST"}));
    EXPECT_EQ(treeOf(tmp.path()),
              (Tree{{"local", "<dir>"}, {"local/outside.txt", "keep"}, {"local/t", "<dir>"}, {"local/t/a.txt", "xxx"},
                    {"local/t/ok", "<dir>"}, {"local/t/ok/z.txt", "xxxx"}, {"local/l", "<dir>"},
                    {"local/l/real.txt", "xxxxx"}, {"local/l/real.lnk", "xxxxx"}}));
    EXPECT_EQ(summary(), "Transfer finished: 4 transferred, 1 skipped, 2 failed");
    EXPECT_EQ(loggedWith("Failed: "), (Strings{"Failed: /t/locked", "Failed: /t/unlisted"}));
    EXPECT_EQ(loggedWith("Starting transfer of real.lnk").size(), 1u);
    EXPECT_TRUE(loggedWith("directory is not followed").size() == 1 && loggedWith("\"real.lnk\"").empty());
    EXPECT_EQ(loggedWith("Skipped"),
              (Strings{"Skipped \"up\" in /l: a symbolic link to a directory is not followed",
                       "Skipped \"/t/locked\": the directory could not be entered",
                       "Skipped \"/t/unlisted\": the directory could not be listed"}));
    EXPECT_FALSE(rig->c.NavigationBusy());
}

// A local directory that cannot be read is a failure, never an empty directory: here a directory
// replaced by a link while the upload runs (ELOOP, never followed). Nothing of it is created on the
// server and its siblings are still sent.
TEST_F(TransferChainTest, AnUnreadableLocalDirectoryFailsAndItsSiblingsAreSent)
{
    writeLocal("t/a.txt", "a");
    writeLocal("t/s/b.txt", "b");
    writeLocal("t/u/c.txt", "c");
    writeLocal("elsewhere/secret.txt", "secret");
    // The first CWD, before /t exists, swaps the link in; the later ones enter /t (the tree's own
    // directory stays "/", which the absolute paths below do not need).
    auto first = std::make_shared<bool>(true);
    server.peer().onLine("CWD /t", [this, first](PeerSession& s, const std::string&) {
        if (!std::exchange(*first, false))
            return s.send("250 Directory changed.\r\n");
        fs::remove_all(local / "t/s");
        fs::create_directory_symlink(local / "elsewhere", local / "t/s");
        s.send("550 No such directory.\r\n");
    });
    ASSERT_TRUE(open());
    EXPECT_EQ(upload({"t"}), (Strings{"CWD /t", "MKD /t", "CWD /t", "STOR /t/a.txt", "CWD /t/u", "MKD /t/u",
                                      "CWD /t/u", "STOR /t/u/c.txt", "CWD /", "LIST"}));
    EXPECT_EQ(server.paths(), (Strings{"/", "/t", "/t/a.txt", "/t/u", "/t/u/c.txt"}));
    EXPECT_EQ(summary(), "Transfer finished: 2 transferred, 0 skipped, 1 failed");
    EXPECT_EQ(loggedWith("Failed: "), (Strings{"Failed: " + (local / "t/s").string()}));
}

struct UploadCase {
    const char* name;
    bool mkDirLevels;
    Strings expected;
};

class UploadTree : public TransferChainTest, public ::testing::WithParamInterface<UploadCase> {};

// A remote directory that is missing is created: by its full path, or from its parent when the
// site creates missing levels one at a time. An empty local directory is created too. A directory
// just made is not listed: it is empty.
TEST_P(UploadTree, CreatesMissingDirectoriesAndReturns)
{
    writeLocal("f1.txt", "abc");
    writeLocal("t/a.txt", "hello");
    fs::create_directories(local / "t/empty");
    writeLocal("t/s1/b.txt", "bb");
    ASSERT_TRUE(open("0957681", false, GetParam().mkDirLevels));
    EXPECT_EQ(upload({"f1.txt", "t"}), GetParam().expected);
    EXPECT_EQ(server.paths(), (Strings{"/", "/f1.txt", "/t", "/t/a.txt", "/t/empty", "/t/s1", "/t/s1/b.txt"}));
    EXPECT_EQ(server.sizeOf("/t/a.txt"), 5);
    EXPECT_EQ(server.sizeOf("/t/s1/b.txt"), 2);
    EXPECT_EQ(summary(), "Transfer finished: 3 transferred, 0 skipped, 0 failed");
    EXPECT_EQ(rig->captions(), (Strings{"t", "f1.txt"}));
}

INSTANTIATE_TEST_SUITE_P(
    MkDir, UploadTree,
    ::testing::Values(UploadCase{"FullPaths", false,
                                 {"STOR f1.txt", "CWD /t", "MKD /t", "CWD /t", "STOR /t/a.txt",
                                  "CWD /t/empty", "MKD /t/empty", "CWD /t/empty", "CWD /t/s1", "MKD /t/s1",
                                  "CWD /t/s1", "STOR /t/s1/b.txt", "CWD /", "LIST"}},
                      UploadCase{"LevelByLevel", true,
                                 {"STOR f1.txt", "CWD /t", "MKD t", "CWD /t/", "STOR /t/a.txt",
                                  "CWD /t/empty", "MKD empty", "CWD /t/empty/",
                                  // MKD takes a name relative to the directory it is made in
                                  "CWD /t/s1", "CWD /t", "MKD s1", "CWD /t/s1/", "STOR /t/s1/b.txt",
                                  "CWD /", "LIST"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Three existing files: Skip on the first, All on the second sends the second and third unasked.
TEST_F(TransferChainTest, SkipThenAllSendsTheRestWithoutAsking)
{
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        server.addFile(std::string("/") + name, 1);
        writeLocal(name, "new");
    }
    ASSERT_TRUE(open());
    rig->ui.answerOverwrite(OverwriteChoice::Skip);
    rig->ui.answerOverwrite(OverwriteChoice::All);
    EXPECT_EQ(upload({"a.txt", "b.txt", "c.txt"}), (Strings{"STOR b.txt", "STOR c.txt", "CWD /", "LIST"}));
    EXPECT_EQ(rig->ui.overwriteAsked, (Strings{"a.txt", "b.txt"}));
    EXPECT_EQ(server.sizeOf("/a.txt"), 1);
    EXPECT_EQ(server.sizeOf("/c.txt"), 3);
    EXPECT_EQ(summary(), "Transfer finished: 2 transferred, 1 skipped, 0 failed");
}

// "Save as" onto a name that exists too asks again, for the new name.
TEST_F(TransferChainTest, SaveAsOntoAnotherExistingNameAsksAgain)
{
    server.addFile("/a.txt", 1);
    server.addFile("/b.txt", 1);
    writeLocal("a.txt", "new");
    ASSERT_TRUE(open());
    rig->ui.answerOverwrite(OverwriteChoice::SaveAs, "b.txt");
    rig->ui.answerOverwrite(OverwriteChoice::SaveAs, "c.txt");
    EXPECT_EQ(upload({"a.txt"}), (Strings{"STOR c.txt", "CWD /", "LIST"}));
    EXPECT_EQ(rig->ui.overwriteAsked, (Strings{"a.txt", "b.txt"}));
    EXPECT_EQ(server.sizeOf("/c.txt"), 3);
}

// Without prompting, the default answer "skip" leaves every existing target alone.
TEST_F(TransferChainTest, DefaultSkipWithEveryTargetExistingSendsNothing)
{
    server.addFile("/a.txt", 1);
    writeLocal("a.txt", "new");
    ASSERT_TRUE(open());
    rig->options.PromptUpLoad = false;
    rig->options.PromptDownLoad = false;
    rig->options.DefPrompt = 0;
    EXPECT_EQ(upload({"a.txt"}), (Strings{"CWD /", "LIST"}));
    EXPECT_EQ(download({"a.txt"}), Strings{});
    EXPECT_EQ(readFileBytes(local / "a.txt"), "new");
    EXPECT_EQ(rig->local.refreshes, 1);
    EXPECT_EQ(summary(), "Transfer finished: 0 transferred, 1 skipped, 0 failed");
    EXPECT_TRUE(rig->ui.overwriteAsked.empty());
}

// A resumed upload asks the server for the remote size, appends from there and checks the size after.
TEST_F(TransferChainTest, ResumedUploadInASubdirectoryAppendsFromTheRemoteSize)
{
    server.addFile("/t/a.txt", 3);
    writeLocal("t/a.txt", "0123456789");
    ASSERT_TRUE(open());
    rig->ui.answerOverwrite(OverwriteChoice::Resume);
    EXPECT_EQ(upload({"t"}),
              (Strings{"CWD /t", "LIST", "SIZE /t/a.txt", "APPE /t/a.txt", "SIZE /t/a.txt", "CWD /", "LIST"}));
    EXPECT_EQ(server.sizeOf("/t/a.txt"), 10);
}

struct PartCase {
    const char* name;
    int listedSize;            // what LIST says of a.bin, which holds 5 bytes
    int typeMenu;              // 2 binary, 1 ASCII
    OverwriteChoice answer;
    const char* partBefore;    // nullptr: no a.bin.part
    std::function<void(ScriptedFtpPeer&)> script;
    Strings sent;
    int64_t expectedSize;      // what the engine was told at RETR
    const char* target;        // a.bin afterwards
    const char* partAfter;     // nullptr: no a.bin.part
    const char* summary;
};

class PartDownload : public TransferChainTest, public ::testing::WithParamInterface<PartCase> {};

// A download lands in "NAME.part" and replaces the old file only when whole and of the size the
// listing gave (binary); whatever went wrong leaves the old file as it was and the bytes in the
// part file, which a resume continues when it is shorter than the source.
TEST_P(PartDownload, ReplacesTheTargetOnlyWhenComplete)
{
    const PartCase& c = GetParam();
    server.addFile("/a.bin", 5);
    server.setRawListing("/", "-rw-r--r--   1 o g " + std::to_string(c.listedSize) + " Jan 01  2020 a.bin\r\n");
    if (c.script)
        c.script(server.peer());
    writeLocal("a.bin", "old");
    if (c.partBefore)
        writeLocal("a.bin.part", c.partBefore);
    writeFileBytes(tmp.path() / "outside.txt", "precious");
    ASSERT_TRUE(open());
    rig->c.SetTransferTypeMenu(c.typeMenu);
    rig->ui.answerOverwrite(c.answer);
    std::vector<int64_t> told;
    rig->c.Ftp1.OnCommand = [&](TCustomFtpCli* ftp, std::string& cmd) {
        if (cmd.rfind("RETR", 0) == 0)
            told.push_back(ftp->ExpectedSize);
    };
    EXPECT_EQ(download({"a.bin"}), c.sent);
    EXPECT_EQ(told, std::vector<int64_t>{c.expectedSize});
    Tree expected{{"local", "<dir>"}, {"local/a.bin", c.target}, {"outside.txt", "precious"}};
    if (c.partAfter)
        expected["local/a.bin.part"] = c.partAfter;
    EXPECT_EQ(treeOf(tmp.path()), expected);
    EXPECT_EQ(summary(), c.summary);
}

const char* const kDone = "Transfer finished: 1 transferred, 0 skipped, 0 failed";
const char* const kFailed = "Transfer finished: 0 transferred, 0 skipped, 1 failed";

INSTANTIATE_TEST_SUITE_P(
    Downloads, PartDownload,
    ::testing::Values(
        PartCase{"Overwritten", 5, 2, OverwriteChoice::Overwrite, "xx", {}, {"RETR /a.bin"}, 5, "xxxxx", nullptr, kDone},
        PartCase{"ShorterThanListed", 9, 2, OverwriteChoice::Overwrite, nullptr, {}, {"RETR /a.bin"}, 9, "old",
                 "xxxxx", kFailed},
        PartCase{"AsciiIsNotMeasured", 9, 1, OverwriteChoice::Overwrite, nullptr, {}, {"RETR /a.bin"}, -1, "xxxxx",
                 nullptr, kDone},
        PartCase{"CutShort", 5, 2, OverwriteChoice::Overwrite, nullptr,
                 [](ScriptedFtpPeer& p) {
                     p.onLine("RETR /a.bin", [](PeerSession& s, const std::string&) {
                         s.send("150 go\r\n");
                         s.acceptData();
                         s.sendData("xxx");
                         s.resetData();
                         s.send("426 Connection reset.\r\n");
                     });
                 },
                 {"RETR /a.bin"}, 5, "old", "xxx", kFailed},
        PartCase{"Refused", 5, 2, OverwriteChoice::Overwrite, nullptr,
                 [](ScriptedFtpPeer& p) { p.onLine("RETR /a.bin", "550 Permission denied.\r\n"); }, {"RETR /a.bin"},
                 5, "old", nullptr, kFailed},
        PartCase{"ResumedFromThePart", 5, 2, OverwriteChoice::Resume, "xx", {}, {"REST 2", "RETR /a.bin"}, 5, "xxxxx",
                 nullptr, kDone},
        PartCase{"PartNotShorter", 5, 2, OverwriteChoice::Resume, "xxxxxxx", {}, {"RETR /a.bin"}, 5, "xxxxx", nullptr,
                 kDone},
        PartCase{"ResumeInAscii", 5, 1, OverwriteChoice::Resume, "xx", {}, {"RETR /a.bin"}, -1, "xxxxx", nullptr,
                 kDone},
        PartCase{"RestRefused", 5, 2, OverwriteChoice::Resume, "xx",
                 [](ScriptedFtpPeer& p) { p.on("REST", "502 REST not implemented.\r\n"); },
                 {"REST 2", "RETR /a.bin"}, 5, "xxxxx", nullptr, kDone}),
    [](const auto& info) { return std::string(info.param.name); });

// A resume that cannot be right says so; a part file alone is offered for resuming.
TEST_F(TransferChainTest, APartFileAloneIsOfferedAndAResumeThatCannotBeRightIsLogged)
{
    server.addFile("/a.bin", 5);
    writeLocal("a.bin.part", "xxxxxxx");
    ASSERT_TRUE(open());
    rig->ui.answerOverwrite(OverwriteChoice::Resume);
    EXPECT_EQ(download({"a.bin"}), Strings{"RETR /a.bin"});
    EXPECT_EQ(rig->ui.overwriteAsked, Strings{(local / "a.bin").string()});
    EXPECT_EQ(loggedWith("Not resumed"), Strings{"Not resumed, the whole file is transferred: " + (local / "a.bin").string()});
    EXPECT_EQ(treeOf(local), (Tree{{"a.bin", "xxxxx"}}));
}

// A refused file is counted and the chain goes on with the next one.
TEST_F(TransferChainTest, ARefusedFileDoesNotStopTheRest)
{
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        writeLocal(name, "x");
    server.peer().onLine("STOR b.txt", "553 Not allowed.\r\n");
    ASSERT_TRUE(open());
    EXPECT_EQ(upload({"a.txt", "b.txt", "c.txt"}),
              (Strings{"STOR a.txt", "STOR b.txt", "STOR c.txt", "CWD /", "LIST"}));
    EXPECT_EQ(summary(), "Transfer finished: 2 transferred, 0 skipped, 1 failed");
    EXPECT_EQ(server.sizeOf("/c.txt"), 1);
    EXPECT_FALSE(rig->c.NavigationBusy());
}

// A directory that cannot be created fails with its files; nothing below it is visited.
TEST_F(TransferChainTest, ADirectoryThatCannotBeCreatedCountsAsFailed)
{
    writeLocal("t/a.txt", "a");
    writeLocal("t/s/b.txt", "b");
    writeLocal("u/s/c.txt", "c");
    server.peer().onLine("MKD /t", "550 Permission denied.\r\n");
    server.peer().onLine("MKD /u", "550 Permission denied.\r\n");
    ASSERT_TRUE(open());
    EXPECT_EQ(upload({"t", "u"}), (Strings{"CWD /t", "MKD /t", "CWD /u", "MKD /u", "CWD /", "LIST"}));
    EXPECT_EQ(summary(), "Transfer finished: 0 transferred, 0 skipped, 3 failed");
}

// A connection lost in the middle ends the transfer; what was not received is counted as failed.
TEST_F(TransferChainTest, ALostConnectionEndsTheTransfer)
{
    for (const char* name : {"/a.txt", "/b.txt", "/c.txt"})
        server.addFile(name, 2);
    server.peer().onLine("RETR /b.txt", [](PeerSession& s, const std::string&) { s.resetControl(); });
    ASSERT_TRUE(open());
    select({"a.txt", "b.txt", "c.txt"});
    rig->c.StartDownload();
    ASSERT_TRUE(rig->waitSiteList());
    EXPECT_FALSE(rig->c.transferChain().running());
    EXPECT_EQ(summary(), "Transfer finished: 1 transferred, 0 skipped, 2 failed");
    EXPECT_FALSE(rig->ui.progress.shown);
    EXPECT_FALSE(fs::exists(local / "c.txt"));
}

// Stop while a file moves: the aborted file counts as failed by its name and the next one is not
// started. The stop is posted, as the Stop button's click comes from the loop. The server answers
// the download it could not finish as a server does, and keeps the session.
TEST_F(TransferChainTest, AFileStoppedWhileMovingCountsAsFailedByName)
{
    server.addFile("/big.bin", 64 << 20);
    server.addFile("/next.bin", 1);
    server.peer().onLine("RETR /big.bin", [](PeerSession& s, const std::string&) {
        s.send("150 Opening data connection.\r\n");
        s.acceptData();
        try {
            for (int i = 0; i < 64; ++i)
                s.sendData(std::string(1 << 20, 'x'));
        } catch (const std::runtime_error&) {
        }
        s.closeData();
        s.send("426 Transfer aborted.\r\n");
    });
    writeLocal("up.bin", std::string(4 << 20, 'u'));
    writeLocal("later.bin", "l");
    ASSERT_TRUE(open());
    rig->ui.progress.onUpdate = [this] {
        rig->ui.progress.onUpdate = nullptr;
        EventLoop::instance().post([this] { rig->c.StopTransfer(); });
    };
    select({"big.bin", "next.bin"});
    EXPECT_EQ(run([&] { rig->c.StartDownload(); }), (Strings{"RETR /big.bin"}));
    EXPECT_EQ(summary(), "Transfer finished: 0 transferred, 0 skipped, 1 failed");
    EXPECT_EQ(loggedWith("Failed:"), (Strings{"Failed: /big.bin"}));
    EXPECT_FALSE(fs::exists(local / "next.bin"));

    rig->c.log.clear();
    rig->ui.progress.onUpdate = [this] {
        rig->ui.progress.onUpdate = nullptr;
        EventLoop::instance().post([this] { rig->c.StopTransfer(); });
    };
    EXPECT_EQ(upload({"up.bin", "later.bin"}), (Strings{"STOR up.bin", "CWD /", "LIST"}));
    EXPECT_EQ(summary(), "Transfer finished: 0 transferred, 0 skipped, 1 failed");
    EXPECT_EQ(loggedWith("Failed:"), (Strings{"Failed: " + (local / "up.bin").string()}));
    EXPECT_FALSE(server.exists("/later.bin"));
    EXPECT_FALSE(rig->c.SiteListMode());
}

// Stop is offered while it has something to end: the connection being made, a listing, a
// transfer; never in the site list or in an idle session.
TEST_F(TransferChainTest, StopIsOfferedOnlyWhileSomethingCanBeStopped)
{
    server.addFile("/a.bin", 1 << 20);
    EXPECT_FALSE(rig->c.canStop()) << "site list";
    rig->addSite(SessionRig::site(server.port()));
    rig->local.dir = local.string();
    const uint64_t listed = rig->c.listingsShown();
    rig->c.Connect();
    EXPECT_TRUE(rig->c.canStop()) << "connecting";
    ASSERT_TRUE(rig->waitListing(listed));
    ASSERT_TRUE(rig->waitIdle());
    EXPECT_FALSE(rig->c.canStop()) << "idle";

    rig->c.Refresh3Click();
    EXPECT_TRUE(rig->c.canStop()) << "listing";
    ASSERT_TRUE(rig->waitIdle());
    EXPECT_FALSE(rig->c.canStop()) << "idle after the listing";

    std::vector<bool> whileMoving;
    rig->ui.progress.onUpdate = [&] { whileMoving.push_back(rig->c.canStop()); };
    select({"a.bin"});
    EXPECT_EQ(run([&] { rig->c.StartDownload(); }), (Strings{"RETR /a.bin"}));
    ASSERT_FALSE(whileMoving.empty());
    EXPECT_EQ(std::count(whileMoving.begin(), whileMoving.end(), false), 0);
    EXPECT_FALSE(rig->c.canStop()) << "idle after the transfer";
}

struct TypeCase {
    const char* name;
    int menu;
    const char* ext;
    Strings expected;
};

class TransferTypes : public TransferChainTest, public ::testing::WithParamInterface<TypeCase> {};

// Auto looks for the extension anywhere in the list's text, so "htm" is ASCII with "txt,html";
// a file without extension is binary. The type is switched only when it changes.
TEST_P(TransferTypes, ChoosesTheTypePerFile)
{
    for (const char* name : {"x.htm", "y.jpg", "z"})
        writeLocal(name, "1");
    ASSERT_TRUE(open());
    rig->options.Ext = GetParam().ext;
    rig->c.SetTransferTypeMenu(GetParam().menu);
    const size_t mark = rig->c.log.lines().size();
    upload({"x.htm", "y.jpg", "z"});
    EXPECT_EQ(rig->sentWithoutData(mark), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Menu, TransferTypes,
    ::testing::Values(
        TypeCase{"AutoWithList", 0, "txt,html", {"STOR x.htm", "TYPE I", "STOR y.jpg", "STOR z", "CWD /", "TYPE A", "LIST"}},
        TypeCase{"AutoWithoutList", 0, "", {"TYPE I", "STOR x.htm", "STOR y.jpg", "STOR z", "CWD /", "TYPE A", "LIST"}},
        TypeCase{"Ascii", 1, "", {"STOR x.htm", "STOR y.jpg", "STOR z", "CWD /", "LIST"}}, // TYPE A is set already
        TypeCase{"Binary", 2, "txt,html", {"TYPE I", "STOR x.htm", "STOR y.jpg", "STOR z", "CWD /", "TYPE A", "LIST"}}),
    [](const auto& info) { return std::string(info.param.name); });

// What every chain may act on: a line that could not be read never, whatever text it holds; "."
// and ".." are passed over; any other name that is no plain name is refused.
TEST(ListedEntries, OnlyPlainNamesOfReadableLinesAreUsable)
{
    struct Case {
        std::string name;
        bool unreadable;
        EntryVerdict verdict;
        MainExtraMessage why;
    };
    const Case cases[] = {
        {"plain.txt", false, EntryVerdict::Usable, xmsgNotDeletable},
        {" lead blank", false, EntryVerdict::Usable, xmsgNotDeletable},
        {"plain.txt", true, EntryVerdict::Refused, xmsgUnreadableLine},
        {"226 Transfer done", true, EntryVerdict::Refused, xmsgUnreadableLine},
        {".", false, EntryVerdict::Skipped, xmsgDotName},
        {"..", false, EntryVerdict::Skipped, xmsgDotName},
        {"", false, EntryVerdict::Refused, xmsgNotDeletable},
        {"a/b", false, EntryVerdict::Refused, xmsgNotDeletable},
        {"../x", false, EntryVerdict::Refused, xmsgNotDeletable},
        {"cr\rx", false, EntryVerdict::Refused, xmsgNotDeletable},
        {"lf\nx", false, EntryVerdict::Refused, xmsgNotDeletable},
        {std::string("nul\0x", 5), false, EntryVerdict::Refused, xmsgNotDeletable},
    };
    for (const Case& c : cases) {
        RemoteEntry entry;
        entry.name = c.name;
        entry.unreadable = c.unreadable;
        const EntryCheck check = CheckListedEntry(entry, xmsgNotDeletable);
        EXPECT_EQ(check.verdict, c.verdict) << PrintableName(c.name);
        EXPECT_EQ(check.why, c.why) << PrintableName(c.name);
    }
}

} // namespace
} // namespace brisk::test
