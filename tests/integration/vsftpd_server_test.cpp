#include "curl_ftp.h"
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
        writeFileBytes(upload, allByteValues(300000));
    }

    std::string login(const char* user, const char* password) const
    {
        return std::string(user) + ":" + password;
    }

    TempDir scratch;
    fs::path upload;
    std::unique_ptr<VsftpdServer> server;
};

// What each account may do, as the tests that log in with it rely on.
TEST_F(VsftpdServerTest, AnonymousAndDenyWriteUsersReadButCannotUpload)
{
    writeFileBytes(server->anonRoot() / "pub" / "readme.txt", "public file\n");
    const auto listing = curlFtp(server->port(), "/pub/");
    EXPECT_EQ(listing.exitCode, 0) << listing.err;
    EXPECT_NE(listing.out.find("readme.txt"), std::string::npos) << listing.out;
    const auto anonPut = curlFtp(server->port(), "/pub/new.bin", {"-T", upload.string()});
    EXPECT_NE(anonPut.exitCode, 0);
    EXPECT_NE(anonPut.err.find("550"), std::string::npos) << anonPut.err;
    EXPECT_FALSE(fs::exists(server->anonRoot() / "pub" / "new.bin"));

    server->writeDataFile("hello.txt", "hello from vsftpd\n");
    const auto userpass = login(kFtpReadOnlyUser, kFtpReadOnlyPassword);
    const auto get = curlFtp(server->port(), "/hello.txt", {"-u", userpass});
    EXPECT_EQ(get.exitCode, 0) << get.err;
    EXPECT_EQ(get.out, "hello from vsftpd\n");
    const auto put = curlFtp(server->port(), "/ro.bin", {"-u", userpass, "-T", upload.string()});
    EXPECT_NE(put.exitCode, 0);
    EXPECT_NE(put.err.find("550"), std::string::npos) << put.err;
    EXPECT_FALSE(fs::exists(server->dataDir() / "ro.bin"));
}

TEST_F(VsftpdServerTest, LocalUserTransfersInBothModesAndTheLogRecordsTheDialogue)
{
    const auto userpass = login(kFtpUser, kFtpPassword);
    const auto put = curlFtp(server->port(), "/sub/up.bin",
                             {"-u", userpass, "--disable-epsv", "--ftp-create-dirs", "-T", upload.string()});
    ASSERT_EQ(put.exitCode, 0) << put.err;
    EXPECT_EQ(readFileBytes(server->dataDir() / "sub" / "up.bin"), readFileBytes(upload));
    const auto back = scratch.path() / "back.bin";
    const auto get = curlFtp(server->port(), "/sub/up.bin", {"-u", userpass, "-o", back.string()});
    ASSERT_EQ(get.exitCode, 0) << get.err;
    EXPECT_EQ(readFileBytes(back), readFileBytes(upload));

    server->writeDataFile("adir/old.txt", "old\n");
    const std::vector<std::string> active = {"-u", userpass, "-P", "127.0.0.1", "--disable-eprt"};
    const auto list = curlFtp(server->port(), "/adir/", active);
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_NE(list.out.find("old.txt"), std::string::npos) << list.out;
    auto replace = active;
    replace.insert(replace.end(), {"-T", upload.string()});
    const auto replaced = curlFtp(server->port(), "/adir/old.txt", replace);
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
    const auto userpass = login(kFtpUser, kFtpPassword);
    const auto first = curlFtp(server->port(), "/", {"-u", userpass, "-l"});
    const auto other = curlFtp(second.port(), "/", {"-u", userpass, "-l"});
    EXPECT_NE(first.out.find("only-first.txt"), std::string::npos) << first.out << first.err;
    EXPECT_EQ(other.exitCode, 0) << other.err;
    EXPECT_EQ(other.out.find("only-first.txt"), std::string::npos) << other.out;
}

} // namespace
