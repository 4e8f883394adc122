#include "loopback_port.h"
#include "session/connection_failure.h"
#include "sites/site_properties.h"
#include "tree_session_test.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace brisk::test {
namespace {

TEST(ConnectionFailure, SaysWhatHappenedInPlainWords)
{
    struct Case {
        uint16_t error;
        const char* text;
    };
    const Case cases[] = {
        {10061, "The server 127.0.0.1 refused the connection on port 2121."},
        {11001, "The server name 127.0.0.1 was not found."},
        {10060, "The server 127.0.0.1 did not answer on port 2121 in time."},
        {10065, "The server 127.0.0.1 cannot be reached from this computer."},
        {10022, "The port \"2121\" of the server 127.0.0.1 is not a port number from 1 to 65535."},
        {10055, "The connection to 127.0.0.1 on port 2121 failed: No buffer space available."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ConnectionFailureText(MainMessages(), "127.0.0.1", "2121", c.error), c.text) << c.error;
}

TEST(SiteForm, NamesTheFieldThatKeepsItFromBeingSaved)
{
    struct Case {
        const char* name;
        const char* server;
        const char* port;
        SiteFormError error;
    };
    const Case cases[] = {
        {"ok", "ftp.example.org", "21", SiteFormError::None},
        {"ok", " ftp.example.org ", "65535", SiteFormError::None},
        {" ", "ftp.example.org", "21", SiteFormError::MissingName},
        {"ok", "", "21", SiteFormError::BadServer},
        {"ok", "127.0.0. 1 bad host", "21", SiteFormError::BadServer},
        {"ok", "ftp.example.org", "99999", SiteFormError::BadPort},
        {"ok", "ftp.example.org", "0", SiteFormError::BadPort},
        {"ok", "ftp.example.org", "21a", SiteFormError::BadPort},
        {"ok", "ftp.example.org", "", SiteFormError::BadPort},
        {"ok", "ftp.example.org", "000021", SiteFormError::BadPort},
    };
    for (const Case& c : cases) {
        SiteProperties model(TFTPServerInfo{}, TimeZoneList{});
        model.form.name = c.name, model.form.server = c.server, model.form.port = c.port;
        EXPECT_EQ(model.check(), c.error) << c.server << " " << c.port;
        EXPECT_EQ(model.save(), c.error == SiteFormError::None);
    }
}

class SessionErrorsTest : public TreeSessionTest {};

// A refused connection is told once, in words, after the last attempt; the site stays selected
// so that its properties can be mended.
TEST_F(SessionErrorsTest, ARefusedConnectionIsToldAndTheSiteStaysSelected)
{
    const uint16_t port = pickFreeLoopbackPort();
    rig->options.Retry = 1;
    TFTPServerInfo site = SessionRig::site(port);
    site.Name = "broken";
    rig->addSite(site);
    rig->c.Connect();
    ASSERT_TRUE(rig->waitSiteList());
    // As with a greeting of 421 (session_connect_test.cpp): the first attempt and Retry + 1 more.
    EXPECT_EQ(loggedWith("[Attempt"),
              (Strings{"Connecting to 127.0.0.1 [Attempt 2]", "Connecting to 127.0.0.1 [Attempt 3]"}));
    ASSERT_EQ(rig->ui.messages.size(), 1u);
    EXPECT_EQ(rig->ui.messages[0].caption + ": " + rig->ui.messages[0].text,
              "Connection failed: The server 127.0.0.1 refused the connection on port " + std::to_string(port) + ".");
    ASSERT_GE(rig->c.sites.siteSelection(), 0);
    EXPECT_TRUE(rig->c.enabled(Action::ServerProperties));

    std::string edited;
    rig->ui.siteEditor = [&](SiteProperties& model) {
        edited = model.form.name;
        return false;
    };
    rig->c.sites.EditSiteProperties();
    EXPECT_EQ(edited, "broken");
}

// A refused password is asked again, masked, with the server's answer; the new one logs in.
TEST_F(SessionErrorsTest, ARefusedPasswordIsAskedAgain)
{
    server.peer().onLine("PASS wrong", "530 Login incorrect.\r\n");
    TFTPServerInfo site = SessionRig::site(server.port());
    site.Password = "wrong";
    rig->addSite(site);
    rig->ui.answerPrompt("right");
    const uint64_t before = rig->c.listingsShown();
    rig->c.Connect();
    ASSERT_TRUE(pumpUntil([&] { return rig->c.listingsShown() > before; }, 10000))
        << ::testing::PrintToString(rig->c.log.lines());
    ASSERT_EQ(rig->ui.prompts.size(), 1u);
    EXPECT_TRUE(rig->ui.prompts[0].masked);
    EXPECT_EQ(rig->ui.prompts[0].label, "530 Login incorrect.\nPassword:");
    // The server refuses only "wrong", so the listing shows that "right" went out the second time.
    EXPECT_EQ(rig->sent(), (Strings{"USER brisk", "PASS (hidden)", "USER brisk", "PASS (hidden)", "FEAT", "SYST",
                                    "PWD", "TYPE A", "PASV", "LIST"}));
}

// A listing that fails is never shown as the directory's content: the panel drops the rows of the
// directory before and says why; the session stays open, and the next listing clears the error.
TEST_F(SessionErrorsTest, AFailedListingShowsTheErrorNotAnEmptyDirectory)
{
    server.addFile("/keep.txt");
    server.addFile("/locked/x.txt");
    server.failListing("/locked", "550 Permission denied.\r\n");
    ASSERT_TRUE(open());
    ASSERT_NE(rig->rowOf("keep.txt"), -1);
    const uint64_t failed = rig->c.listingsFailed();
    rig->ui.answerPrompt("/locked");
    rig->c.ChandDirect1Click();
    ASSERT_TRUE(pumpUntil([&] { return rig->c.listingsFailed() > failed; }, 30000));
    EXPECT_TRUE(rig->captions().empty());
    EXPECT_EQ(rig->c.listingError(), "The listing of /locked failed: 550 Permission denied.");
    EXPECT_EQ(rig->c.remoteStatusText(), rig->c.listingError());
    EXPECT_EQ(rig->c.remote.pathItems(), (Strings{"SERVER LIST ...", "127.0.0.1", "locked"}));
    EXPECT_TRUE(rig->c.Ftp1.Connected());
    EXPECT_FALSE(rig->c.SiteListMode());
    EXPECT_FALSE(rig->c.NavigationBusy());

    const uint64_t shown = rig->c.listingsShown();
    rig->c.FTPOneLevelUpClick();
    ASSERT_TRUE(rig->waitListing(shown));
    EXPECT_NE(rig->rowOf("keep.txt"), -1);
    EXPECT_TRUE(rig->c.listingError().empty());
}

// Stop while a directory is listed ends the listing, not the session: the panel keeps what it
// showed, the server goes back to that directory, and the next command works.
TEST_F(SessionErrorsTest, StopDuringAListingKeepsTheSessionAndThePanel)
{
    server.addFile("/keep.txt");
    server.addDir("/big");
    ASSERT_TRUE(open());
    const Strings before = rig->captions();
    ASSERT_NE(rig->rowOf("keep.txt"), -1);
    // The first listing from now on trickles until Stop, sends once more (the client aborts as it
    // reads it), and ends as aborted once the client has closed the data connection.
    auto listings = std::make_shared<std::atomic<int>>(0);
    auto stopped = std::make_shared<std::atomic<bool>>(false);
    server.peer().onLine("LIST", [listings, stopped](PeerSession& s, const std::string&) {
        s.send("150 Opening data connection.\r\n");
        s.acceptData();
        if (listings->fetch_add(1) == 0) {
            const std::string line = "-rw-r--r--   1 o g 1 Jan 01  2020 trickle.txt\r\n";
            for (int i = 0; i < 1000 && !*stopped; ++i) {
                s.sendData(line);
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            s.sendData(line);
            s.receiveDataUntilClose();
            return s.send("426 Transfer aborted.\r\n");
        }
        s.sendData("-rw-r--r--   1 o g 1 Jan 01  2020 keep.txt\r\n");
        s.closeData();
        s.send("226 Done.\r\n");
    });
    server.peer().on("ABOR", "226 Abort successful.\r\n");
    rig->ui.answerPrompt("/big");
    rig->c.ChandDirect1Click();
    ASSERT_TRUE(pumpUntil([&] { return rig->c.listingBytes() > 0; }, 20000));
    *stopped = true;
    rig->c.StopTransfer();
    ASSERT_TRUE(rig->waitIdle());
    EXPECT_FALSE(rig->c.SiteListMode()) << ::testing::PrintToString(rig->c.log.lines());
    EXPECT_TRUE(rig->c.engine().Connected());
    EXPECT_EQ(rig->captions(), before);
    EXPECT_EQ(rig->c.remoteDir(), "/");
    EXPECT_FALSE(rig->c.abortMark());
    EXPECT_EQ(run([&] { rig->c.SendRawCommand("NOOP"); }), (Strings{"NOOP", "CWD /", "LIST"}));
    EXPECT_NE(rig->rowOf("keep.txt"), -1);
}

} // namespace
} // namespace brisk::test
