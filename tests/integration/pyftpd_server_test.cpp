#include "byte_pattern.h"
#include "curl_client.h"
#include "file_io.h"
#include "pyftpd_server.h"
#include "raw_ftp.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <regex>

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using namespace brisk::test;

namespace {

class PyftpdServerTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (auto why = PyftpdServer::unavailableReason())
            GTEST_SKIP() << *why;
        upload = scratch.path() / "upload.bin";
        writeFileBytes(upload, bytePattern(100000));
    }

    TempDir scratch;
    fs::path upload;
};

TEST_F(PyftpdServerTest, FullUserTransfersInBothModesAndTheReadOnlyUserCannotUpload)
{
    PyftpdServer server;
    const auto put =
        curlFtp(FtpDataMode::Passive, {"-T", upload.string(), ftpUrl(server.port(), "brisk", "brisk-pw", "/up.bin")});
    ASSERT_EQ(put.exitCode, 0) << put.err;
    EXPECT_EQ(readFileBytes(server.root() / "up.bin"), readFileBytes(upload));
    const auto back = scratch.path() / "back.bin";
    const auto get =
        curlFtp(FtpDataMode::Active, {"-o", back.string(), ftpUrl(server.port(), "brisk", "brisk-pw", "/up.bin")});
    ASSERT_EQ(get.exitCode, 0) << get.err;
    EXPECT_EQ(readFileBytes(back), readFileBytes(upload));

    writeFileBytes(server.root() / "hello.txt", "hello\n");
    const auto roGet = curlFtp(FtpDataMode::Passive, {ftpUrl(server.port(), "briskro", "briskro-pw", "/hello.txt")});
    EXPECT_EQ(roGet.exitCode, 0) << roGet.err;
    EXPECT_EQ(roGet.out, "hello\n");
    const auto roPut = curlFtp(FtpDataMode::Passive,
                               {"-T", upload.string(), ftpUrl(server.port(), "briskro", "briskro-pw", "/ro.bin")});
    EXPECT_NE(roPut.exitCode, 0);
    EXPECT_NE(roPut.err.find("550"), std::string::npos) << roPut.err;
    EXPECT_FALSE(fs::exists(server.root() / "ro.bin"));
}

TEST_F(PyftpdServerTest, UserWithSubdirIsRootedThere)
{
    PyftpdOptions options;
    options.users = {{"jail", "jail-pw", "elradfmw", "home/jail"}};
    PyftpdServer server(options);
    const auto put =
        curlFtp(FtpDataMode::Passive, {"-T", upload.string(), ftpUrl(server.port(), "jail", "jail-pw", "/in.bin")});
    ASSERT_EQ(put.exitCode, 0) << put.err;
    EXPECT_TRUE(fs::exists(server.root() / "home" / "jail" / "in.bin"));
}

TEST_F(PyftpdServerTest, AnonymousOnlyWhenAskedForAndWrongPasswordsFailFast)
{
    PyftpdOptions options;
    options.anonymous = true;
    PyftpdServer withAnonymous(options);
    writeFileBytes(withAnonymous.root() / "hello.txt", "x");
    const auto list = curlFtp(FtpDataMode::Passive, {ftpUrl(withAnonymous.port(), "", "")});
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_NE(list.out.find("hello.txt"), std::string::npos);

    PyftpdServer without;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_NE(curlFtp(FtpDataMode::Passive, {ftpUrl(without.port(), "", "")}).exitCode, 0);
    EXPECT_NE(curlFtp(FtpDataMode::Passive, {ftpUrl(without.port(), "brisk", "wrong")}).exitCode, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
}

struct StyleCase {
    const char* style;
    const char* syst;
    const char* dirPattern;
    const char* filePattern;
};

void PrintTo(const StyleCase& c, std::ostream* os)
{
    *os << c.style;
}

class PyftpdListingStyle : public PyftpdServerTest, public testing::WithParamInterface<StyleCase> {};

TEST_P(PyftpdListingStyle, ListsInItsLayoutAndAnswersSyst)
{
    PyftpdOptions options;
    options.style = GetParam().style;
    PyftpdServer server(options);
    fs::create_directory(server.root() / "adir");
    writeFileBytes(server.root() / "hello.txt", std::string(1234, 'h'));
    const auto list = rawFtpList(server.port(), "brisk", "brisk-pw", "SYST");
    EXPECT_EQ(list.commandReply, std::string(GetParam().syst) + "\r\n");
    const auto multiline = std::regex_constants::ECMAScript | std::regex_constants::multiline;
    EXPECT_TRUE(std::regex_search(list.data, std::regex(GetParam().dirPattern, multiline))) << list.data;
    EXPECT_TRUE(std::regex_search(list.data, std::regex(GetParam().filePattern, multiline))) << list.data;
}

INSTANTIATE_TEST_SUITE_P(
    Styles, PyftpdListingStyle,
    testing::Values(
        StyleCase{"unix", "215 UNIX Type: L8", R"(^drwx\S+ +\d+ \S+ +\S+ +\d+ \w{3} \d\d .* adir\r$)",
                  R"(-rw\S+ +1 \S+ +\S+ +1234 \w{3} \d\d .* hello\.txt\r$)"},
        StyleCase{"windows", "215 Windows_NT", R"(^\d\d-\d\d-\d\d  \d\d:\d\d[AP]M +<DIR> +adir\r$)",
                  R"(\d\d-\d\d-\d\d  \d\d:\d\d[AP]M +1234 hello\.txt\r$)"},
        StyleCase{"windows4", "215 Windows_NT", R"(^\d\d-\d\d-\d{4}  \d\d:\d\d[AP]M +<DIR> +adir\r$)",
                  R"(\d\d-\d\d-\d{4}  \d\d:\d\d[AP]M +1234 hello\.txt\r$)"},
        StyleCase{"vms", "215 VMS system type.", R"(ADIR\.DIR;1 +\d+/\d+ +\d+-[A-Z]{3}-\d{4})",
                  R"(HELLO\.TXT;1 +3/3 [\s\S]*Total of 2 files, \d+/\d+ blocks\.)"},
        StyleCase{"mac", "215 MACOS Peter's Server", R"(drwxrwxr-x +folder +0 .* adir\r$)",
                  R"(-------r-- +0 +1234 +1234 .* hello\.txt\r$)"}),
    [](const testing::TestParamInfo<StyleCase>& info) { return std::string(info.param.style); });

TEST_F(PyftpdServerTest, CannedListingIsSentVerbatim)
{
    PyftpdOptions options;
    options.cannedList = std::string("total 3\r\nodd line \xA6 bytes\r\nlf only\n-rw-r--r-- 1 a b 5 Jan  1  2020 with space.txt\r\n");
    PyftpdServer server(options);
    EXPECT_EQ(rawFtpList(server.port(), "brisk", "brisk-pw", "NOOP").data, *options.cannedList);
}

} // namespace
