#include "controller_rig.h"
#include "engine_driver.h"
#include "file_io.h"
#include "ftp_users.h"
#include "loopback_port.h"
#include "pyftpd_server.h"
#include "scripted_ftp_peer.h"
#include "temp_dir.h"
#include "temp_home.h"
#include "vsftpd_server.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace brisk;
using namespace brisk::test;

namespace {

using Strings = std::vector<std::string>;

std::optional<std::string> ipv6ServerUnavailable()
{
    if (auto why = VsftpdServer::unavailableReason())
        return why;
    if (!ipv6LoopbackAvailable())
        return "no IPv6 loopback (::1) on this machine";
    return std::nullopt;
}

// The commands sent from the log's line `from` on, without the MDTM that carry the file times.
Strings sentBy(const EngineDriver& d, size_t from)
{
    Strings sent;
    for (size_t i = from; i < d.log.size(); ++i)
        if (d.log[i].rfind("> ", 0) == 0 && d.log[i].rfind("> MDTM ", 0) != 0)
            sent.push_back(d.log[i].substr(2));
    return sent;
}

// An engine session with a vsftpd that listens on ::1 only.
class FtpIpv6 : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (auto why = ipv6ServerUnavailable())
            GTEST_SKIP() << *why;
        server = std::make_unique<VsftpdServer>(Loopback::ipv6);
        d.connectAsTestUser(server->port(), "::1");
    }
    // Uploads, lists and downloads one file; returns the commands this sent.
    Strings roundTrip()
    {
        EXPECT_EQ(d.run([&] { d.ftp.ConnectAsync(); }), 0) << d.ftp.ErrorMessage();
        const size_t from = d.log.size();
        writeFileBytes(dir.path() / "up.bin", std::string(70000, 'x'));
        d.ftp.LocalFileName = (dir.path() / "up.bin").string();
        d.ftp.HostFileName = "up.bin";
        EXPECT_EQ(d.run([&] { d.ftp.PutAsync(); }), 0) << d.ftp.ErrorMessage();
        d.ftp.HostFileName = "";
        d.ftp.LocalFileName = (dir.path() / "list.txt").string();
        EXPECT_EQ(d.run([&] { d.ftp.DirAsync(); }), 0) << d.ftp.ErrorMessage();
        EXPECT_NE(readFileBytes(dir.path() / "list.txt").find("up.bin"), std::string::npos);
        d.ftp.HostFileName = "up.bin";
        d.ftp.LocalFileName = (dir.path() / "down.bin").string();
        EXPECT_EQ(d.run([&] { d.ftp.GetAsync(); }), 0) << d.ftp.ErrorMessage();
        EXPECT_EQ(readFileBytes(dir.path() / "down.bin"), std::string(70000, 'x'));
        return sentBy(d, from);
    }

    std::unique_ptr<VsftpdServer> server;
    EngineDriver d;
    TempDir dir;
};


// Each data connection over IPv6 is offered by EPSV (passive) or EPRT (active).
TEST_F(FtpIpv6, EveryDataConnectionIsOfferedByEpsvOrEprt)
{
    for (bool passive : {true, false}) {
        d.ftp.SetPassive(passive);
        const Strings sent = roundTrip();
        ASSERT_EQ(sent.size(), 6u) << ::testing::PrintToString(sent);
        for (size_t i : {0u, 2u, 4u})
            EXPECT_EQ(sent[i].rfind(passive ? "EPSV" : "EPRT |2|::1|", 0), 0u) << sent[i];
        EXPECT_EQ((Strings{sent[1], sent[3], sent[5]}), (Strings{"STOR up.bin", "LIST", "RETR up.bin"}));
        EXPECT_EQ(d.run([&] { d.ftp.QuitAsync(); }), 0);
    }
}

// PASV and PORT cannot name an IPv6 address: EPSV and EPRT are used even when FEAT does not offer them.
TEST(FtpIpv6Unannounced, EpsvAndEprtAreUsedWithoutFeatOfferingThem)
{
    if (auto why = PyftpdServer::unavailableReason())
        GTEST_SKIP() << *why;
    if (!ipv6LoopbackAvailable())
        GTEST_SKIP() << "no IPv6 loopback (::1) on this machine";
    PyftpdOptions options;
    options.host = "::1";
    options.hideExtended = true;
    PyftpdServer server(options);
    EngineDriver d;
    d.connectAsTestUser(server.port(), "::1");
    ASSERT_EQ(d.run([&] { d.ftp.ConnectAsync(); }), 0) << d.ftp.ErrorMessage();
    EXPECT_FALSE(d.ftp.Features().has("EPSV"));
    TempDir dir;
    d.ftp.HostFileName = "";
    d.ftp.LocalFileName = (dir.path() / "list.txt").string();
    for (bool passive : {true, false}) {
        const size_t from = d.log.size();
        d.ftp.SetPassive(passive);
        EXPECT_EQ(d.run([&] { d.ftp.DirAsync(); }), 0) << d.ftp.ErrorMessage();
        const Strings sent = sentBy(d, from);
        ASSERT_EQ(sent.size(), 2u) << ::testing::PrintToString(sent);
        EXPECT_EQ(sent[0].rfind(passive ? "EPSV" : "EPRT |2|::1|", 0), 0u) << sent[0];
        EXPECT_EQ(sent[1], "MLSD");
    }
}

// A server on ::1 that refuses EPSV gets one PASV; refused too, the listing fails with the server's
// words, and later listings of the session go straight to PASV.
TEST(FtpIpv6Refused, EpsvRefusedIsRetriedOnceWithPasvThenTheListingFails)
{
    if (!ipv6LoopbackAvailable())
        GTEST_SKIP() << "no IPv6 loopback (::1) on this machine";
    ScriptedFtpPeer peer("220 Scripted peer ready.\r\n", true);
    peer.acceptLogin();
    peer.on("EPSV", "500 EPSV not understood.\r\n");
    peer.on("PASV", "500 PASV not understood.\r\n");
    EngineDriver d;
    d.connectTo(peer.port(), "::1");
    d.ftp.UserName = "u";
    d.ftp.PassWord = "p";
    d.ftp.SetPassive(true);
    ASSERT_EQ(d.run([&] { d.ftp.ConnectAsync(); }), 0) << d.ftp.ErrorMessage();
    TempDir dir;
    d.ftp.LocalFileName = (dir.path() / "list.txt").string();
    const size_t before = peer.lines().size();
    EXPECT_NE(d.run([&] { d.ftp.DirAsync(); }, 10000), 0);
    EXPECT_EQ(d.ftp.ErrorMessage(), "500 PASV not understood.");
    EXPECT_NE(d.run([&] { d.ftp.DirAsync(); }, 10000), 0);
    const Strings lines = peer.lines();
    EXPECT_EQ(Strings(lines.begin() + long(before), lines.end()), (Strings{"EPSV", "PASV", "PASV"}));
    EXPECT_TRUE(d.ftp.Connected());
}

// A stored site whose server field holds "[::1]" opens and shows its listing.
class SessionIpv6 : public TempHomeTest {};

TEST_F(SessionIpv6, SiteWithABracketedAddressOpens)
{
    if (auto why = ipv6ServerUnavailable())
        GTEST_SKIP() << *why;
    VsftpdServer server(Loopback::ipv6);
    server.writeDataFile("seen.txt", "x");
    SessionRig rig;
    TFTPServerInfo site = SessionRig::site(server.port());
    site.Server = "[::1]";
    rig.addSite(site);
    ASSERT_TRUE(rig.open()) << ::testing::PrintToString(rig.c.log.lines());
    EXPECT_EQ(rig.captions(), (Strings{"seen.txt"}));
    EXPECT_EQ(rig.c.remote.pathItems(), (Strings{"SERVER LIST ...", "::1"}));
}

} // namespace
