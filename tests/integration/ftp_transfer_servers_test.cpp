#include "byte_pattern.h"
#include "engine_driver.h"
#include "file_io.h"
#include "ftp_users.h"
#include "real_server.h"
#include "temp_dir.h"
#include "vsftpd_server.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

using namespace brisk;
using namespace brisk::test;
namespace fs = std::filesystem;

namespace {

class FtpTransferServers : public ::testing::TestWithParam<ServerSetting> {
protected:
    void SetUp() override
    {
        if (auto why = realServerUnavailable(GetParam().kind))
            GTEST_SKIP() << *why;
        server = startRealServer(GetParam().kind);
        d.connectAsTestUser(server->port());
        d.ftp.SetPassive(GetParam().passive);
        ASSERT_EQ(d.run([&] { d.ftp.ConnectAsync(); }), 0) << d.ftp.ErrorMessage();
        ASSERT_TRUE(d.ftp.TypeBinary());
    }
    std::string local(const std::string& name) { return (dir.path() / name).string(); }
    int put(const std::string& localName, const std::string& remote)
    {
        d.ftp.LocalFileName = local(localName);
        d.ftp.HostFileName = remote;
        d.ftp.ResumeAt = 0;
        return d.run([&] { d.ftp.PutAsync(); });
    }
    int get(const std::string& remote, const std::string& localName)
    {
        d.ftp.HostFileName = remote;
        d.ftp.LocalFileName = local(localName);
        return d.run([&] { d.ftp.GetAsync(); });
    }
    std::string listing(void (TCustomFtpCli::*request)())
    {
        d.ftp.HostFileName = "";
        d.ftp.LocalFileName = local("listing.txt");
        EXPECT_EQ(d.run([&] { (d.ftp.*request)(); }), 0) << d.ftp.ErrorMessage();
        return readFileBytes(local("listing.txt"));
    }

    std::unique_ptr<RealServer> server;
    EngineDriver d;
    TempDir dir;
};


TEST_P(FtpTransferServers, FilesOfEverySizeGoBothWaysByteForByte)
{
    for (size_t size : {size_t(0), size_t(1), size_t(4099), size_t(5 << 20)}) {
        SCOPED_TRACE(size);
        const std::string data = bytePattern(size, size);
        const std::string name = "f" + std::to_string(size) + ".bin";
        writeFileBytes(local(name), data);
        ASSERT_EQ(put(name, name), 0) << d.ftp.ErrorMessage();
        EXPECT_EQ(d.dones.back().request, ftpPutAsync);
        EXPECT_TRUE(readFileBytes(server->root() / name) == data);
        d.ftp.ExpectedSize = int64_t(size);
        ASSERT_EQ(get(name, "back-" + name), 0) << d.ftp.ErrorMessage();
        EXPECT_TRUE(readFileBytes(local("back-" + name)) == data);
        EXPECT_EQ(d.ftp.ByteCount, int64_t(size));
    }
}

TEST_P(FtpTransferServers, ListingsAppendAndSize)
{
    server->putFile("one file.txt", "first\n");
    server->putFile("sub/inner.txt", "x");
    const std::string list = listing(&TCustomFtpCli::DirAsync);
    EXPECT_NE(list.find("one file.txt\r\n"), std::string::npos) << list;
    EXPECT_NE(list.find(" sub\r\n"), std::string::npos) << list;
    const std::string names = listing(&TCustomFtpCli::LsAsync);
    EXPECT_NE(names.find("one file.txt\r\n"), std::string::npos) << names;

    writeFileBytes(local("more"), "second\n");
    d.ftp.LocalFileName = local("more");
    d.ftp.HostFileName = "one file.txt";
    ASSERT_EQ(d.run([&] { d.ftp.AppendAsync(); }), 0) << d.ftp.ErrorMessage();
    EXPECT_EQ(d.dones.back().request, ftpAppendAsync);
    EXPECT_EQ(readFileBytes(server->root() / "one file.txt"), "first\nsecond\n");
    EXPECT_EQ(d.run([&] { d.ftp.SizeAsync(); }), 0);
    EXPECT_EQ(d.ftp.SizeResult(), 13);
    EXPECT_EQ(get("missing.bin", "missing"), 550);
}

TEST_P(FtpTransferServers, BrokenTransfersResumeToTheSameBytes)
{
    const std::string data = bytePattern(3 << 20, 7);
    server->putFile("big.bin", data);
    writeFileBytes(local("big.bin"), data.substr(0, 1234567));
    d.ftp.HostFileName = "big.bin";
    d.ftp.LocalFileName = local("big.bin");
    ASSERT_EQ(d.run([&] { d.ftp.RestGetAsync(); }), 0) << d.ftp.ErrorMessage();
    EXPECT_TRUE(readFileBytes(local("big.bin")) == data);
    EXPECT_EQ(d.ftp.ByteCount, int64_t(data.size() - 1234567));

    // An upload cut short on purpose, then resumed from the size the server reports.
    writeFileBytes(local("up.bin"), data);
    d.ftp.OnProgress = [](TCustomFtpCli*, int64_t count, bool& abort) { abort = count > 1000000; };
    EXPECT_NE(put("up.bin", "up.bin"), 0);
    d.ftp.OnProgress = nullptr;
    d.ftp.HostFileName = "up.bin";
    ASSERT_EQ(d.run([&] { d.ftp.SizeAsync(); }), 0);
    ASSERT_LT(d.ftp.SizeResult(), int64_t(data.size()));
    d.ftp.LocalFileName = local("up.bin");
    d.ftp.ResumeAt = d.ftp.SizeResult();
    ASSERT_EQ(d.run([&] { d.ftp.RestPutAsync(); }), 0) << d.ftp.ErrorMessage();
    EXPECT_TRUE(readFileBytes(server->root() / "up.bin") == data);
}

// An aborted download ends, as a failure, and the session goes on with the server.
TEST_P(FtpTransferServers, AbortDuringADownloadEndsAsAFailure)
{
    server->putFile("big.bin", bytePattern(8 << 20, 3));
    d.ftp.OnProgress = [](TCustomFtpCli*, int64_t count, bool& abort) { abort = count > 200000; };
    const int error = get("big.bin", "cut.bin");
    EXPECT_NE(error, 0);
    EXPECT_NE(error, -1);
    d.ftp.OnProgress = nullptr;
    EXPECT_EQ(get("big.bin", "whole.bin"), 0);
    EXPECT_EQ(fs::file_size(local("whole.bin")), size_t(8 << 20));
}

INSTANTIATE_TEST_SUITE_P(Servers, FtpTransferServers, ::testing::ValuesIn(allServerSettings()),
                         [](const auto& info) { return serverSettingName(info.param); });

// A directory the server's user may enter but not read (0711, another owner's: a drop box) lists as a
// failure, never as an empty directory; an empty directory lists as empty. Neither leaves an older
// listing in the file.
TEST(VsftpdListing, ADirectoryThatCannotBeReadFailsAndAnEmptyOneDoesNot)
{
    if (auto why = VsftpdServer::unavailableReason())
        GTEST_SKIP() << *why;
    VsftpdServer server;
    server.writeDataFile("dropbox/inside.txt", "hidden\n");
    server.writeDataFile("empty/.keep", "");
    fs::remove(server.dataDir() / "empty" / ".keep");
    const fs::path dropbox = server.dataDir() / "dropbox";
    ASSERT_EQ(::chown(dropbox.c_str(), 0, 0), 0);
    fs::permissions(dropbox, fs::perms(0711));
    EngineDriver d;
    d.connectAsTestUser(server.port());
    d.ftp.SetPassive(true);
    ASSERT_EQ(d.run([&] { d.ftp.ConnectAsync(); }), 0) << d.ftp.ErrorMessage();
    TempDir dir;
    const std::string unreadable = "550 The directory could not be listed: 226 Transfer done (but failed to open directory).";
    const struct {
        const char* dir;
        void (TCustomFtpCli::*request)();
        int code;
        std::string message;
    } rows[] = {
        {"/dropbox", &TCustomFtpCli::DirAsync, 550, unreadable},
        {"/dropbox", &TCustomFtpCli::LsAsync, 550, unreadable},
        {"/empty", &TCustomFtpCli::DirAsync, 0, ""},
        {"/empty", &TCustomFtpCli::LsAsync, 0, ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.dir) + (r.request == &TCustomFtpCli::LsAsync ? " NLST" : " LIST"));
        d.ftp.HostDirName = r.dir;
        ASSERT_TRUE(d.ftp.Cwd()) << d.ftp.ErrorMessage();
        d.ftp.HostFileName = "";
        d.ftp.LocalFileName = (dir.path() / "listing").string();
        writeFileBytes(d.ftp.LocalFileName, "stale listing");
        EXPECT_EQ(d.run([&] { (d.ftp.*r.request)(); }), r.code);
        if (r.code != 0) {
            EXPECT_EQ(d.ftp.ErrorMessage(), r.message);
        }
        EXPECT_EQ(readFileBytes(d.ftp.LocalFileName), "");
    }
}

} // namespace
