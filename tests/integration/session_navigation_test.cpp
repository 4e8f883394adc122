#include "pyftpd_server.h"
#include "session_rig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace brisk::test {
namespace {

class SessionNavigationTest : public SessionServerTest {
protected:
    void SetUp() override
    {
        SessionServerTest::SetUp();
        if (IsSkipped())
            return;
        server->putFile("top.txt", "t");
        server->putFile("dir1/one.txt", "1");
        server->putFile("dir1/sub/deep.txt", "d");
        server->putFile("ReadMe.TXT", "r");
        server->putFile("abc", "x");
        ASSERT_TRUE(openSite()) << ::testing::PrintToString(rig->c.log.lines());
    }
};

TEST_P(SessionNavigationTest, IntoADirectoryUpAgainAndToTheHostItem)
{
    SessionController& c = rig->c;
    EXPECT_EQ(run([&] { c.remoteDoubleClick(rig->rowOf("dir1")); }), (Strings{"CWD /dir1", list()}));
    EXPECT_EQ(rig->captions(), (Strings{"sub", "one.txt"}));
    EXPECT_EQ(c.remote.pathItems(), (Strings{"SERVER LIST ...", "127.0.0.1", "dir1"}));

    EXPECT_EQ(run([&] { c.remoteDoubleClick(rig->rowOf("sub")); }), (Strings{"CWD /dir1/sub", list()}));
    EXPECT_EQ(c.remote.pathItems(), (Strings{"SERVER LIST ...", "127.0.0.1", "dir1", "sub"}));

    // The path box snaps back while a change is under way.
    EXPECT_EQ(run([&] {
                  c.FTPPathChange(2);
                  EXPECT_TRUE(c.NavigationBusy());
                  EXPECT_FALSE(c.pathBoxEnabled());
                  c.FTPPathChange(1);
                  EXPECT_EQ(c.remote.pathSelected(), 2) << "the second choice is refused while the first runs";
              }),
              (Strings{"CWD /dir1", list()}));
    EXPECT_TRUE(c.pathBoxEnabled());

    run([&] { c.remoteDoubleClick(rig->rowOf("sub")); });
    EXPECT_EQ(run([&] { c.FTPOneLevelUpClick(); }), (Strings{"CDUP", list()}));
    EXPECT_EQ(c.Ftp1.HostDirName, "/dir1");
    EXPECT_EQ(rig->captions(), (Strings{"sub", "one.txt"}));

    EXPECT_EQ(run([&] { c.FTPPathChange(1); }), (Strings{"CWD /", list()}));
    EXPECT_EQ(c.remote.pathItems(), (Strings{"SERVER LIST ...", "127.0.0.1"}));
    EXPECT_FALSE(c.NavigationBusy());
}

// A command while the engine is busy is reported, not thrown.
TEST_P(SessionNavigationTest, ChangeDirectoryAndRefresh)
{
    SessionController& c = rig->c;
    EXPECT_EQ(run([&] {
                  c.Refresh3Click();
                  EXPECT_NO_THROW(c.Refresh3Click());
              }),
              (Strings{list()}));
    EXPECT_FALSE(loggedWith("Error ").empty()) << ::testing::PrintToString(c.log.lines());

    rig->ui.answerPrompt("/dir1/sub");
    EXPECT_EQ(run([&] { c.ChandDirect1Click(); }), (Strings{"CWD /dir1/sub", list()}));
    EXPECT_EQ(rig->ui.prompts.back().text, "") << "at the host item the prompt starts empty";
    EXPECT_EQ(rig->captions(), (Strings{"deep.txt"}));

    rig->ui.answerPrompt("/dir1");
    run([&] { c.ChandDirect1Click(); });
    EXPECT_EQ(rig->ui.prompts.back().text, "/dir1/sub");

    server->putFile("dir1/new.txt", "n");
    EXPECT_EQ(run([&] { c.Refresh3Click(); }), (Strings{list()}));
    EXPECT_EQ(rig->captions(), (Strings{"sub", "new.txt", "one.txt"}));
}

// A failed rename is logged and leaves the path box usable; Change Case renames each selected name
// in row order (names without regard to case), then lists the directory by its name; Rename asks for
// the new name; the server-list item ends the session without QUIT.
TEST_P(SessionNavigationTest, RenamesThenBackToTheServerList)
{
    SessionController& c = rig->c;
    EXPECT_EQ(run([&] { c.RenameInPlace(size_t(rig->rowOf("top.txt")), "missing-dir/x.txt"); }),
              (Strings{"RNFR top.txt", "RNTO missing-dir/x.txt"}));
    EXPECT_TRUE(rig->logged("Renaming file"));
    EXPECT_FALSE(loggedWith("Error 55").empty()) << ::testing::PrintToString(c.log.lines());
    EXPECT_TRUE(c.pathBoxEnabled());

    select({"ReadMe.TXT", "abc"});
    EXPECT_EQ(run([&] { c.ChangeCaseRemote(2); }),
              (Strings{"RNFR abc", "RNTO Abc", "RNFR ReadMe.TXT", "RNTO Readme.txt", list() + " /"}));
    EXPECT_NE(rig->rowOf("Readme.txt"), -1);
    EXPECT_NE(rig->rowOf("Abc"), -1);
    EXPECT_TRUE(std::filesystem::exists(server->root() / "Readme.txt"));

    select({"top.txt"});
    rig->ui.answerPrompt("renamed.txt");
    EXPECT_EQ(run([&] { c.RenameRemote(); }), (Strings{"RNFR top.txt", "RNTO renamed.txt", list() + " /"}));
    EXPECT_EQ(rig->ui.prompt(rig->ui.prompts.size() - 1), "Rename File / Enter new File name : / top.txt / 255");
    EXPECT_NE(rig->rowOf("renamed.txt"), -1);

    const size_t mark = c.log.lines().size();
    c.FTPPathChange(0);
    ASSERT_TRUE(rig->waitSiteList());
    EXPECT_TRUE(rig->sent(mark).empty()) << "the connection is dropped without QUIT";
    EXPECT_TRUE(rig->logged("Connection closed"));
    EXPECT_TRUE(c.remote.pathItems().empty());
    EXPECT_TRUE(c.remote.panel.rows().empty());
    EXPECT_EQ(c.sites.siteList.entries().size(), 1u);
    EXPECT_TRUE(c.enabled(Action::Connect));
    EXPECT_FALSE(c.remoteInfoBarVisible());
}

TEST_P(SessionNavigationTest, KeepAliveSendsTheCommandsInTurnAfterIdleness)
{
    rig->options.Keep = true;
    rig->options.StartKeep = 2;
    rig->options.CmdKeep = "NOOP,PWD";
    rig->c.ApplyOptions();
    EXPECT_EQ(run([&] { rig->c.Refresh3Click(); }), (Strings{list()}));
    ASSERT_TRUE(pumpUntil([&] { return rig->c.KeepAliveSent() >= 3; }, 10000));
    ASSERT_TRUE(rig->waitIdle());
    Strings raw;
    for (const std::string& cmd : rig->sent())
        if (cmd == "NOOP" || cmd == "PWD")
            raw.push_back(cmd);
    // The first PWD is the login's own.
    EXPECT_EQ(raw, (Strings{"PWD", "NOOP", "PWD", "NOOP"}));
    // Each keep-alive command is followed by a CWD to the current directory and a fresh listing.
    const Strings after = rig->sentWithoutData();
    const auto noop = std::find(after.begin(), after.end(), "NOOP");
    ASSERT_NE(noop, after.end());
    // TYPE A is still set from the last listing.
    EXPECT_EQ(Strings(noop, noop + 3), (Strings{"NOOP", "CWD /", list()}));
}

INSTANTIATE_TEST_SUITE_P(Servers, SessionNavigationTest, ::testing::Values("vsftpd", "pyftpdlib"));

// Both need a server whose listing and timing the test controls.
class PyftpdSessionTest : public TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        if (auto why = PyftpdServer::unavailableReason())
            GTEST_SKIP() << *why;
    }
};

// Keep-alive on without commands never starts the timer; with commands it stops after the duration
// when the user asks for nothing.
TEST_F(PyftpdSessionTest, KeepAliveStopsAfterTheDurationAndNeverStartsWithoutCommands)
{
    PyftpdServer server;
    {
        SessionRig idle;
        idle.options.Keep = true;
        idle.options.CmdKeep = "";
        idle.addSite(SessionRig::site(server.port()));
        ASSERT_TRUE(idle.open());
        EXPECT_FALSE(idle.c.keepAliveRunning());
    }
    SessionRig rig;
    rig.options.Keep = true;
    rig.options.StartKeep = 1;
    rig.options.DurationKeep = 1; // one minute: 60 ticks of 20 ms here
    rig.options.CmdKeep = "NOOP";
    rig.addSite(SessionRig::site(server.port()));
    ASSERT_TRUE(rig.open());
    ASSERT_TRUE(pumpUntil([&] { return !rig.c.keepAliveRunning() && rig.c.Ftp1.State() == fsReady; }, 15000));
    const int sent = rig.c.KeepAliveSent();
    EXPECT_GE(sent, 2);
    pumpUntil([] { return false; }, 500);
    EXPECT_EQ(rig.c.KeepAliveSent(), sent) << "keep-alive ended";
}

// Stop while a listing arrives aborts it and keeps the session: the next command lists the
// directory again.
TEST_F(PyftpdSessionTest, StopDuringAListingAbortsItAndKeepsTheSession)
{
    PyftpdOptions opts;
    std::string big;
    for (int i = 0; i < 200000; ++i)
        big += "-rw-r--r--   1 owner    group        1024 Jan 01 2020 file" + std::to_string(i) + ".txt\r\n";
    opts.cannedList = big;
    PyftpdServer server(opts);
    SessionRig rig;
    rig.addSite(SessionRig::site(server.port()));
    ASSERT_TRUE(rig.open());

    rig.c.Ftp1.OnProgress = [&](TCustomFtpCli*, int64_t, bool& abort) {
        rig.c.StopTransfer();
        abort = rig.c.abortMark();
    };
    const uint64_t shown = rig.c.listingsShown();
    rig.c.Refresh3Click();
    ASSERT_TRUE(pumpUntil([&] { return rig.c.sessionReady() && !rig.c.listingLoading(); }, 15000))
        << ::testing::PrintToString(rig.c.log.lines());
    EXPECT_FALSE(rig.c.SiteListMode());
    EXPECT_EQ(rig.c.listingsShown(), shown);
    const auto& lines = rig.c.log.lines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const auto& l) { return l.rfind("Error 426", 0) == 0; }));

    rig.c.Ftp1.OnProgress = nullptr;
    rig.c.SendRawCommand("NOOP");
    EXPECT_TRUE(rig.waitListing(shown));
    EXPECT_TRUE(rig.c.listingError().empty());
    EXPECT_FALSE(rig.c.SiteListMode());
}

} // namespace
} // namespace brisk::test
