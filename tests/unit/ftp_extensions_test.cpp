#include "engine_driver.h"
#include "file_io.h"
#include "scripted_ftp_peer.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace brisk;
using namespace brisk::test;

namespace {

// A peer whose FEAT reply the test writes; it lists a directory with whatever listing command comes.
class FtpExtensions : public ::testing::Test {
protected:
    void SetUp() override
    {
        peer.acceptLogin();
        peer.on("PASV", ScriptedFtpPeer::passive());
        peer.on("EPSV", [](PeerSession& s, const std::string&) {
            s.send("229 Extended (|||" + std::to_string(s.listenForData()) + "|)\r\n");
        });
        for (const char* verb : {"LIST", "MLSD"})
            peer.on(verb, [](PeerSession& s, const std::string&) {
                s.send("150 here\r\n");
                s.acceptData();
                s.sendData("type=file;size=3; a\r\n");
                s.closeData();
                s.send("226 done\r\n");
            });
        d.connectTo(peer.port());
        d.ftp.SetPassive(true);
        d.ftp.UserName = "u";
        d.ftp.PassWord = "p";
    }
    void connectWithFeatures(const std::string& featReply)
    {
        peer.on("FEAT", featReply);
        ASSERT_EQ(d.run([&] { d.ftp.ConnectAsync(); }), 0) << d.ftp.ErrorMessage();
    }
    int list()
    {
        d.ftp.HostFileName.clear();
        d.ftp.LocalFileName = (tmp.path() / "listing").string();
        return d.run([&] { d.ftp.DirAsync(); });
    }
    std::vector<std::string> sent() const { return peer.lines(0); }

    ScriptedFtpPeer peer;
    EngineDriver d;
    TempDir tmp;
};

} // namespace

TEST_F(FtpExtensions, GarbageInFeatIsIgnored)
{
    std::string many;
    for (int i = 0; i < 1000; ++i)
        many += " F" + std::to_string(i) + "\r\n";
    connectWithFeatures("211-Features:\r\n MLST type*;\r\nEPSV\r\n \x01UTF8\r\n bad/name\r\n" + many +
                        "211 End\r\n");
    EXPECT_TRUE(d.ftp.Features().has("MLST"));
    EXPECT_FALSE(d.ftp.Features().has("EPSV"));
    EXPECT_FALSE(d.ftp.Features().has("UTF8"));
    EXPECT_EQ(d.ftp.Features().names().size(), FtpFeatures::kMaxNames);
    EXPECT_EQ(sent(), (std::vector<std::string>{"USER u", "PASS p", "FEAT"}));
}

TEST_F(FtpExtensions, ARefusedFeatMeansNoFeatures)
{
    connectWithFeatures("500 FEAT? Never heard of it.\r\n");
    EXPECT_TRUE(d.ftp.Features().empty());
    ASSERT_EQ(list(), 0) << d.ftp.ErrorMessage();
    EXPECT_EQ(sent(), (std::vector<std::string>{"USER u", "PASS p", "FEAT", "PASV", "LIST"}));
}

TEST_F(FtpExtensions, OfferedCommandsAreUsedAndRefusalsFallBack)
{
    connectWithFeatures("211-Features:\r\n MLST type*;size*;\r\n EPSV\r\n UTF8\r\n211 End\r\n");
    EXPECT_TRUE(d.ftp.Features().has("UTF8"));
    ASSERT_EQ(list(), 0) << d.ftp.ErrorMessage();
    EXPECT_TRUE(d.ftp.ListingIsMlsd());

    // EPSV unknown after all: PASV, for the rest of the session. MLSD the same: LIST.
    peer.on("EPSV", "502 Not here.\r\n");
    peer.on("MLSD", "500 What?\r\n");
    ASSERT_EQ(list(), 0) << d.ftp.ErrorMessage();
    EXPECT_FALSE(d.ftp.ListingIsMlsd());
    ASSERT_EQ(list(), 0) << d.ftp.ErrorMessage();
    EXPECT_EQ(sent(), (std::vector<std::string>{"USER u", "PASS p", "FEAT", "OPTS UTF8 ON", "EPSV", "MLSD", "EPSV",
                                                "PASV", "MLSD", "PASV", "LIST", "PASV", "LIST"}));
}

TEST_F(FtpExtensions, AMalformedExtendedPassiveReplyFailsTheListing)
{
    connectWithFeatures("211-Features:\r\n EPSV\r\n211 End\r\n");
    for (const char* reply : {"229 (|||0|)\r\n", "229 (|||70000|)\r\n", "229 no port\r\n", "229 (|||12|\r\n"}) {
        peer.on("EPSV", reply);
        EXPECT_EQ(list(), 550) << reply;
        EXPECT_TRUE(d.ftp.Connected());
    }
}
