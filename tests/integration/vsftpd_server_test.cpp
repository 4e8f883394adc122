#include "byte_pattern.h"
#include "curl_client.h"
#include "file_io.h"
#include "ftp_users.h"
#include "loopback_client.h"
#include "process_tree.h"
#include "temp_dir.h"
#include "vsftpd_server.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;
using namespace brisk::test;

namespace {

class VsftpdServerTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (auto why = VsftpdServer::unavailableReason())
            GTEST_SKIP() << *why;
        server = std::make_unique<VsftpdServer>();
        upload = scratch.path() / "upload.bin";
        writeFileBytes(upload, bytePattern(300000));
    }

    // Passive mode unless the arguments say otherwise.
    CommandResult curl(const std::string& user, const std::string& path, std::vector<std::string> args = {},
                       FtpDataMode mode = FtpDataMode::Passive) const
    {
        const std::string password = user == kFtpUser ? kFtpPassword : user.empty() ? "" : kFtpReadOnlyPassword;
        args.push_back(ftpUrl(server->port(), user, password, path));
        return curlFtp(mode, args);
    }

    TempDir scratch;
    fs::path upload;
    std::unique_ptr<VsftpdServer> server;
};

// What each account may do, as the tests that log in with it rely on.
TEST_F(VsftpdServerTest, AnonymousAndDenyWriteUsersReadButCannotUpload)
{
    writeFileBytes(server->anonRoot() / "pub" / "readme.txt", "public file\n");
    const auto listing = curl("", "/pub/");
    EXPECT_EQ(listing.exitCode, 0) << listing.err;
    EXPECT_NE(listing.out.find("readme.txt"), std::string::npos) << listing.out;
    const auto anonPut = curl("", "/pub/new.bin", {"-T", upload.string()});
    EXPECT_NE(anonPut.exitCode, 0);
    EXPECT_NE(anonPut.err.find("550"), std::string::npos) << anonPut.err;
    EXPECT_FALSE(fs::exists(server->anonRoot() / "pub" / "new.bin"));

    server->writeDataFile("hello.txt", "hello from vsftpd\n");
    const auto get = curl(kFtpReadOnlyUser, "/hello.txt");
    EXPECT_EQ(get.exitCode, 0) << get.err;
    EXPECT_EQ(get.out, "hello from vsftpd\n");
    const auto put = curl(kFtpReadOnlyUser, "/ro.bin", {"-T", upload.string()});
    EXPECT_NE(put.exitCode, 0);
    EXPECT_NE(put.err.find("550"), std::string::npos) << put.err;
    EXPECT_FALSE(fs::exists(server->dataDir() / "ro.bin"));
}

TEST_F(VsftpdServerTest, LocalUserTransfersInBothModesAndTheLogRecordsTheDialogue)
{
    const auto put = curl(kFtpUser, "/sub/up.bin", {"--ftp-create-dirs", "-T", upload.string()});
    ASSERT_EQ(put.exitCode, 0) << put.err;
    EXPECT_EQ(readFileBytes(server->dataDir() / "sub" / "up.bin"), readFileBytes(upload));
    const auto back = scratch.path() / "back.bin";
    const auto get = curl(kFtpUser, "/sub/up.bin", {"-o", back.string()});
    ASSERT_EQ(get.exitCode, 0) << get.err;
    EXPECT_EQ(readFileBytes(back), readFileBytes(upload));

    server->writeDataFile("adir/old.txt", "old\n");
    const auto list = curl(kFtpUser, "/adir/", {}, FtpDataMode::Active);
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_NE(list.out.find("old.txt"), std::string::npos) << list.out;
    const auto replaced = curl(kFtpUser, "/adir/old.txt", {"-T", upload.string()}, FtpDataMode::Active);
    ASSERT_EQ(replaced.exitCode, 0) << replaced.err;
    EXPECT_EQ(readFileBytes(server->dataDir() / "adir" / "old.txt"), readFileBytes(upload));

    const std::string log = server->logContents();
    EXPECT_NE(log.find("PASV"), std::string::npos);
    EXPECT_NE(log.find("PORT 127,0,0,1"), std::string::npos);
    EXPECT_NE(log.find("\"USER brisk\""), std::string::npos) << log;
    EXPECT_NE(log.find("230 Login successful."), std::string::npos) << log;
}

TEST_F(VsftpdServerTest, DestructionEndsLoggedInSessionProcesses)
{
    LoopbackClient client(server->port());
    EXPECT_EQ(client.receiveLine().substr(0, 4), "220 ");
    client.send(std::string("USER ") + kFtpUser + "\r\nPASS " + kFtpPassword + "\r\n");
    EXPECT_EQ(client.receiveLine().substr(0, 4), "331 ");
    EXPECT_EQ(client.receiveLine().substr(0, 4), "230 ");

    const auto processes = descendantsOf(::getpid());
    bool sessionLeftTheGroup = false;
    for (pid_t pid : processes)
        sessionLeftTheGroup = sessionLeftTheGroup || ::getsid(pid) == pid;
    ASSERT_GE(processes.size(), 2u);
    server.reset();
    for (pid_t pid : processes)
        EXPECT_FALSE(fs::exists("/proc/" + std::to_string(pid))) << pid;
    EXPECT_TRUE(client.closedByServer());
    EXPECT_TRUE(sessionLeftTheGroup);
}

TEST_F(VsftpdServerTest, ServersRunSideBySideWithTheirOwnRoots)
{
    VsftpdServer second;
    server->writeDataFile("only-first.txt", "1");
    EXPECT_NE(second.port(), server->port());
    const auto first = curl(kFtpUser, "/", {"-l"});
    const auto other = curlFtp(FtpDataMode::Passive, {"-l", ftpUrl(second.port(), kFtpUser, kFtpPassword)});
    EXPECT_NE(first.out.find("only-first.txt"), std::string::npos) << first.out << first.err;
    EXPECT_EQ(other.exitCode, 0) << other.err;
    EXPECT_EQ(other.out.find("only-first.txt"), std::string::npos) << other.out;
}

} // namespace
