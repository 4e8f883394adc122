#include "scripted_ftp_peer.h"
#include "session_rig.h"
#include "sites/stored_site_login.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace brisk::test {
namespace {

using namespace std::chrono_literals;

class SessionConnectTest : public SessionTest {};

TEST_F(SessionConnectTest, ASiteWithoutHostIsReportedAndNothingStarts)
{
    for (const std::string server : {"", ":2121", "  ", "ftp://user:pw@:21/dir"}) {
        SCOPED_TRACE("server field '" + server + "'");
        rig = std::make_unique<SessionRig>();
        TFTPServerInfo site = SessionRig::site(21);
        site.Server = server;
        rig->addSite(site);
        rig->c.Connect();

        ASSERT_EQ(rig->ui.messages.size(), 1u);
        EXPECT_EQ(rig->ui.messages[0].caption + ": " + rig->ui.messages[0].text, "Attention: Host name empty");
        EXPECT_TRUE(rig->logged("Error Host name empty"));
        EXPECT_TRUE(loggedWith("Connecting to").empty());
        EXPECT_TRUE(rig->c.SiteListMode());
        EXPECT_EQ(rig->c.Ftp1.State(), fsReady);
        EXPECT_TRUE(rig->c.enabled(Action::Connect));
        EXPECT_FALSE(rig->c.enabled(Action::Disconnect));
        EXPECT_TRUE(rig->ui.prompts.empty()) << "no password is asked for a site that cannot open";
    }
}

// A site without a port is reached on the same port in the window as from brisklane-cli's @site, so
// both find the same trusted certificate; the attempts go to 127.0.0.1, where nothing answers.
TEST_F(SessionConnectTest, ASiteWithoutPortTakesTheSamePortInTheWindowAndTheCli)
{
    const struct {
        std::string port;
        uint8_t security;
        std::string used;
    } rows[] = {{"", ftpSecurityImplicit, "990"}, {"", ftpSecurityExplicitRequired, "21"},
                {"", ftpSecurityPlain, "21"}, {" 2121 ", ftpSecurityImplicit, "2121"}};
    for (const auto& row : rows) {
        SCOPED_TRACE("port '" + row.port + "', security " + std::to_string(row.security));
        rig = std::make_unique<SessionRig>();
        rig->options.Retry = 0;
        TFTPServerInfo site = SessionRig::site(21);
        site.Port = row.port;
        site.Security = row.security;
        rig->addSite(site);
        rig->c.Connect();
        EXPECT_EQ(rig->c.Ftp1.Port, row.used);
        EXPECT_EQ(LoginOfSite(site).port, row.used);
        ASSERT_TRUE(rig->waitSiteList());
    }
}

TEST_F(SessionConnectTest, AGreetingOf421WithRetry2MakesExactlyFourAttempts)
{
    ScriptedFtpPeer peer("421 Too many users\r\n");
    rig->options.Retry = 2;
    rig->addSite(SessionRig::site(peer.port()));
    rig->c.Connect();
    ASSERT_TRUE(pumpUntil([&] { return rig->logged("Connection closed"); }, 20000))
        << ::testing::PrintToString(rig->c.log.lines());
    ASSERT_TRUE(rig->waitIdle());

    EXPECT_EQ(loggedWith("[Attempt"), (Strings{"Connecting to 127.0.0.1 [Attempt 2]",
                                               "Connecting to 127.0.0.1 [Attempt 3]",
                                               "Connecting to 127.0.0.1 [Attempt 4]"}));
    EXPECT_EQ(peer.connectionCount(), 4u);
    EXPECT_EQ(loggedWith("< 421 Too many users").size(), 4u);
    EXPECT_EQ(loggedWith("Connection closed").size(), 1u);
    EXPECT_TRUE(loggedWith("Please wait").empty()) << ::testing::PrintToString(rig->c.log.lines());
    EXPECT_TRUE(rig->sent().empty()) << "nothing is sent to a server that refused";
    EXPECT_TRUE(rig->c.SiteListMode());
    EXPECT_TRUE(rig->c.enabled(Action::Connect));
    EXPECT_FALSE(rig->c.Ftp1.Connected());
}

TEST_F(SessionConnectTest, StopWhileWaitingForTheGreetingEndsWithoutAnotherAttempt)
{
    ScriptedFtpPeer peer("");
    rig->options.Retry = 2;
    rig->addSite(SessionRig::site(peer.port()));
    rig->c.Connect();
    ASSERT_TRUE(peer.waitForConnections(1, 10s));
    ASSERT_TRUE(pumpUntil([&] { return rig->c.Ftp1.State() == fsWaitingBanner; }));

    rig->c.StopTransfer();
    ASSERT_TRUE(pumpUntil([&] { return rig->logged("Connection closed"); }))
        << ::testing::PrintToString(rig->c.log.lines());
    ASSERT_TRUE(rig->waitIdle());

    EXPECT_TRUE(loggedWith("[Attempt").empty()) << ::testing::PrintToString(rig->c.log.lines());
    EXPECT_TRUE(peer.waitForDisconnect(0, 10s));
    EXPECT_EQ(peer.connectionCount(), 1u);
    EXPECT_EQ(loggedWith("Connection closed").size(), 1u);
    EXPECT_TRUE(rig->c.SiteListMode());
    EXPECT_EQ(rig->c.Ftp1.State(), fsReady);
}

TEST_F(SessionConnectTest, MaxListingOptionReachesTheEngine)
{
    const struct {
        int32_t mib;
        int64_t bytes;
    } cases[] = {{1024, int64_t(1) << 30}, {0, 0}, {3, 3 << 20}, {INT32_MAX, int64_t(INT32_MAX) << 20}};
    for (const auto& c : cases) {
        rig->options.MaxListingMiB = c.mib;
        rig->c.ApplyOptions();
        EXPECT_EQ(rig->c.Ftp1.MaxListingSize, c.bytes) << c.mib;
    }
}

// A listing cut off by the server: an error in the panel, no entries shown, and no listing file
// left behind; the session stays open.
TEST_F(SessionConnectTest, AFailedListingRemovesItsFileAndIsNoSuccess)
{
    ScriptedFtpPeer peer;
    peer.acceptLogin();
    peer.on("SYST", "215 UNIX Type: L8\r\n");
    peer.on("PWD", "257 \"/\"\r\n");
    peer.on("PASV", ScriptedFtpPeer::passive());
    peer.on("LIST", [](PeerSession& s, const std::string&) {
        s.send("150 here\r\n");
        s.acceptData();
        s.sendData("-rw-r--r-- 1 u g 5 Jan 01 2020 partial.txt\r\n");
        s.closeData();
        s.send("451 Local error in processing\r\n");
    });
    rig->addSite(SessionRig::site(peer.port()));
    rig->c.Connect();
    ASSERT_TRUE(pumpUntil([&] { return rig->c.listingsFailed() > 0; }, 10000))
        << ::testing::PrintToString(rig->c.log.lines());

    EXPECT_TRUE(rig->logged("Error 451 Local error in processing")) << ::testing::PrintToString(rig->c.log.lines());
    EXPECT_EQ(rig->c.listingsShown(), 0u);
    EXPECT_TRUE(rig->c.remote.listing->empty());
    EXPECT_TRUE(rig->captions().empty());
    EXPECT_EQ(rig->c.listingError(), "The listing of / failed: 451 Local error in processing");
    EXPECT_FALSE(std::filesystem::exists(rig->options.ListingTempFile));
    EXPECT_FALSE(rig->c.SiteListMode());
}

} // namespace
} // namespace brisk::test
