#include "curl_client.h"
#include "file_io.h"
#include "ftp_users.h"
#include "loopback_client.h"
#include "proftpd_server.h"
#include "pure_ftpd_server.h"
#include "real_server.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>

using namespace brisk::test;
namespace fs = std::filesystem;

namespace {

// curl's exit code for an upload the server refused.
constexpr int kCurlUploadFailed = 25;

// The last line of the next reply (multi-line replies start with "NNN-").
std::string finalReplyLine(LoopbackClient& client)
{
    for (;;) {
        const std::string line = client.receiveLine();
        if (line.size() < 4 || line[3] != '-')
            return line;
    }
}

struct Case {
    std::string server;
    FtpDataMode mode;
};

std::string caseName(const ::testing::TestParamInfo<Case>& info)
{
    std::string name = info.param.server == "pure-ftpd" ? "PureFtpd" : "Proftpd";
    return name + (info.param.mode == FtpDataMode::Passive ? "Passive" : "Active");
}

class UnpackedFtpServers : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override
    {
        if (auto why = realServerUnavailable(GetParam().server))
            GTEST_SKIP() << *why;
        server = startRealServer(GetParam().server);
        upload = local.path() / "upload.txt";
        writeFileBytes(upload, "uploaded bytes\n");
    }

    CommandResult curl(const std::vector<std::string>& args) { return curlFtp(GetParam().mode, args); }
    std::string url(const std::string& user, const std::string& password, const std::string& path = "/")
    {
        return ftpUrl(server->port(), user, password, path);
    }

    std::unique_ptr<RealServer> server;
    TempDir local;
    fs::path upload;
};

} // namespace

// Both users list and download the data dir; only the write user may upload or replace a file the
// harness wrote.
TEST_P(UnpackedFtpServers, UsersGetTheirRights)
{
    server->putFile("hello.txt", "hello\n");
    server->putFile("sub/deep.bin", std::string("a\0b", 3));
    server->putFile("sub/old.txt", "old\n");
    server->putFile("keep.txt", "keep\n");
    for (const auto& [user, password] : {std::pair{kFtpUser, kFtpPassword}, {kFtpReadOnlyUser, kFtpReadOnlyPassword}}) {
        const auto list = curl({url(user, password)});
        ASSERT_EQ(list.exitCode, 0) << user << ": " << list.err;
        EXPECT_NE(list.out.find("hello.txt"), std::string::npos) << list.out;
        EXPECT_NE(list.out.find("sub"), std::string::npos) << list.out;
        const auto get = curl({url(user, password, "/sub/deep.bin")});
        ASSERT_EQ(get.exitCode, 0) << user << ": " << get.err;
        EXPECT_EQ(get.out, std::string("a\0b", 3));
    }

    const auto fresh = curl({"--upload-file", upload.string(), url(kFtpUser, kFtpPassword, "/sub/new.txt")});
    ASSERT_EQ(fresh.exitCode, 0) << fresh.err;
    const auto replace = curl({"--upload-file", upload.string(), url(kFtpUser, kFtpPassword, "/sub/old.txt")});
    ASSERT_EQ(replace.exitCode, 0) << replace.err;
    EXPECT_EQ(readFileBytes(server->root() / "sub/new.txt"), "uploaded bytes\n");
    EXPECT_EQ(readFileBytes(server->root() / "sub/old.txt"), "uploaded bytes\n");
    EXPECT_NE(server->logContents().find("new.txt"), std::string::npos) << server->logContents();

    const auto roFresh =
        curl({"--upload-file", upload.string(), url(kFtpReadOnlyUser, kFtpReadOnlyPassword, "/new.txt")});
    EXPECT_EQ(roFresh.exitCode, kCurlUploadFailed) << roFresh.err;
    const auto roReplace =
        curl({"--upload-file", upload.string(), url(kFtpReadOnlyUser, kFtpReadOnlyPassword, "/keep.txt")});
    EXPECT_EQ(roReplace.exitCode, kCurlUploadFailed) << roReplace.err;
    EXPECT_FALSE(fs::exists(server->root() / "new.txt"));
    EXPECT_EQ(readFileBytes(server->root() / "keep.txt"), "keep\n");
}

INSTANTIATE_TEST_SUITE_P(Servers, UnpackedFtpServers,
                         ::testing::Values(Case{"pure-ftpd", FtpDataMode::Passive},
                                           Case{"pure-ftpd", FtpDataMode::Active},
                                           Case{"proftpd", FtpDataMode::Passive},
                                           Case{"proftpd", FtpDataMode::Active}),
                         caseName);

class ProftpdAnonymous : public ::testing::TestWithParam<FtpDataMode> {
protected:
    void SetUp() override
    {
        if (auto why = ProftpdServer::unavailableReason())
            GTEST_SKIP() << *why;
        server = std::make_unique<ProftpdServer>();
    }
    std::unique_ptr<ProftpdServer> server;
};

TEST_P(ProftpdAnonymous, ReadsPubButCannotUpload)
{
    writeFileBytes(server->anonRoot() / "pub" / "readme.txt", "read me\n");
    const auto list = curlFtp(GetParam(), {ftpUrl(server->port(), "", "", "/pub/")});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_NE(list.out.find("readme.txt"), std::string::npos) << list.out;
    const auto get = curlFtp(GetParam(), {ftpUrl(server->port(), "", "", "/pub/readme.txt")});
    EXPECT_EQ(get.out, "read me\n") << get.err;

    TempDir local;
    writeFileBytes(local.path() / "up.txt", "x");
    const auto put = curlFtp(GetParam(), {"--upload-file", (local.path() / "up.txt").string(),
                                          ftpUrl(server->port(), "", "", "/pub/up.txt")});
    EXPECT_EQ(put.exitCode, kCurlUploadFailed) << put.err;
    EXPECT_FALSE(fs::exists(server->anonRoot() / "pub" / "up.txt"));
}

INSTANTIATE_TEST_SUITE_P(Modes, ProftpdAnonymous, ::testing::Values(FtpDataMode::Passive, FtpDataMode::Active),
                         [](const auto& info) { return info.param == FtpDataMode::Passive ? "Passive" : "Active"; });

// pure-ftpd admits only half as many sessions as it has passive ports; parallel tests share one
// server per test, but a test may hold several sessions.
TEST(PureFtpdServer, EightSessionsGetPassivePortsFromTheRange)
{
    if (auto why = PureFtpdServer::unavailableReason())
        GTEST_SKIP() << *why;
    PureFtpdServer server;
    std::vector<std::unique_ptr<LoopbackClient>> sessions;
    for (int i = 0; i < 8; ++i) {
        auto& c = *sessions.emplace_back(std::make_unique<LoopbackClient>(server.port()));
        ASSERT_EQ(finalReplyLine(c).substr(0, 4), "220 ") << "session " << i;
        c.send(std::string("USER ") + kFtpUser + "\r\n");
        ASSERT_EQ(finalReplyLine(c).substr(0, 4), "331 ");
        c.send(std::string("PASS ") + kFtpPassword + "\r\n");
        ASSERT_EQ(finalReplyLine(c).substr(0, 4), "230 ") << "session " << i;
    }
    for (auto& c : sessions) {
        c->send("PASV\r\n");
        const std::string reply = finalReplyLine(*c);
        unsigned h1, h2, h3, h4, p1, p2;
        ASSERT_EQ(std::sscanf(reply.c_str(), "227 %*[^(](%u,%u,%u,%u,%u,%u)", &h1, &h2, &h3, &h4, &p1, &p2), 6)
            << reply;
        EXPECT_EQ(std::vector<unsigned>({h1, h2, h3, h4}), std::vector<unsigned>({127, 0, 0, 1}));
        const unsigned port = p1 * 256 + p2;
        EXPECT_GE(port, server.passivePorts().first) << reply;
        EXPECT_LE(port, server.passivePorts().last) << reply;
    }
}
