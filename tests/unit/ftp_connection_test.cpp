#include "session/ftp_connection.h"

#include "engine_driver.h"
#include "pump.h"
#include "temp_home.h"
#include "tree_ftp_peer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brisk::test {
namespace {

using Strings = std::vector<std::string>;

// The connection over the engine, against a scripted tree server; each call's completions are
// counted, so a second one (or none) shows.
class FtpConnectionTest : public TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        server.addFile("/d/f.bin", 5);
        listingPath = home() + "listing.txt";
        d.connectAsTestUser(server.port());
        d.ftp.SetPassive(true);
        d.ftp.OnRequestDone = [this](TCustomFtpCli*, TFtpRequest, uint16_t error) { conn.requestDone(error); };
        ASSERT_TRUE(call([&](FtpConnection::Done done) { conn.connect(std::move(done)); }));
    }
    // Runs one call to its completion; false when it failed or did not complete exactly once.
    bool call(const std::function<void(FtpConnection::Done)>& start)
    {
        int completions = 0;
        bool result = false;
        start([&](bool ok) {
            ++completions;
            result = ok;
        });
        pumpUntil([&] { return completions > 0; }, 10000);
        pumpUntil([] { return false; }, 50);
        EXPECT_EQ(completions, 1);
        return completions == 1 && result;
    }
    Strings sentSince(size_t from)
    {
        Strings out;
        const Strings lines = server.peer().lines();
        for (size_t i = from; i < lines.size(); ++i)
            if (lines[i] != "PASV" && lines[i] != "EPSV")
                out.push_back(lines[i]);
        return out;
    }

    TreeFtpPeer server;
    EngineDriver d;
    std::string listingPath;
    CalendarDate today{2026, 12, 7};
    ListingFile listing{listingPath, today, d.ftp};
    FtpConnection conn{d.ftp, listing};
};

// TYPE goes with the transfer that needs it, and only when the server has another type.
TEST_F(FtpConnectionTest, TheTransferTypeIsSentOnlyWhereItChanges)
{
    const size_t mark = server.peer().lines().size();
    ASSERT_TRUE(call([&](FtpConnection::Done done) { conn.cwd("/d", std::move(done)); }));
    ASSERT_TRUE(call([&](FtpConnection::Done done) { conn.list(std::move(done)); }));
    ASSERT_TRUE(call([&](FtpConnection::Done done) { conn.list(std::move(done)); }));
    conn.setBinary(true);
    const std::string target = home() + "f.bin";
    PrepareDownload(d.ftp, target, 5, false);
    ASSERT_TRUE(call([&](FtpConnection::Done done) { conn.get("f.bin", DownloadStart::Whole, std::move(done)); }));
    ASSERT_TRUE(call([&](FtpConnection::Done done) { conn.get("f.bin", DownloadStart::Whole, std::move(done)); }));
    ASSERT_TRUE(call([&](FtpConnection::Done done) { conn.list(std::move(done), "/d"); }));
    EXPECT_EQ(sentSince(mark), (Strings{"CWD /d", "TYPE A", "LIST", "LIST", "TYPE I", "RETR f.bin", "RETR f.bin",
                                        "TYPE A", "LIST /d"}));
}

// A refused TYPE is the call's failure: the transfer that needed it never goes out.
TEST_F(FtpConnectionTest, ARefusedTypeFailsTheCallWithoutItsCommand)
{
    server.peer().onLine("TYPE A", "504 Not this type.\r\n");
    const size_t mark = server.peer().lines().size();
    EXPECT_FALSE(call([&](FtpConnection::Done done) { conn.list(std::move(done)); }));
    EXPECT_EQ(sentSince(mark), (Strings{"TYPE A"}));
    EXPECT_EQ(conn.errorMessage(), "504 Not this type.");
}

// PWD's answer becomes the current directory; a reply without a quoted path leaves it.
TEST_F(FtpConnectionTest, PwdSetsTheDirectoryItNames)
{
    server.peer().on("PWD", "257 \"/d\" is the current directory.\r\n");
    ASSERT_TRUE(call([&](FtpConnection::Done done) { conn.pwd(std::move(done)); }));
    EXPECT_EQ(conn.dir(), "/d");
    server.peer().on("PWD", "257 somewhere\r\n");
    ASSERT_TRUE(call([&](FtpConnection::Done done) { conn.pwd(std::move(done)); }));
    EXPECT_EQ(conn.dir(), "/d");
}

// A call while another is under way, or on a closed connection, fails once without a command and
// leaves the call under way its own completion.
TEST_F(FtpConnectionTest, ARefusedCallFailsOnceAndTheOneUnderWayGoesOn)
{
    int firstDone = 0;
    bool firstOk = false;
    const size_t mark = server.peer().lines().size();
    conn.cwd("/d", [&](bool ok) {
        ++firstDone;
        firstOk = ok;
    });
    EXPECT_FALSE(call([&](FtpConnection::Done done) { conn.cwd("/elsewhere", std::move(done)); }));
    pumpUntil([&] { return firstDone > 0; }, 10000);
    EXPECT_EQ(firstDone, 1);
    EXPECT_TRUE(firstOk);
    EXPECT_EQ(sentSince(mark), (Strings{"CWD /d"}));
    EXPECT_EQ(conn.dir(), "/d");

    d.ftp.Abort();
    EXPECT_FALSE(call([&](FtpConnection::Done done) { conn.list(std::move(done)); }));
}

} // namespace
} // namespace brisk::test
