// get -r and put -r: the session's transfer chain (whose commands tests/unit/session_transfer_chain_test.cpp
// asserts) against every server, and what --if-exists and the exit status make of it.
#include "byte_pattern.h"
#include "cli_vsftpd_test.h"
#include "file_io.h"
#include "file_tree.h"
#include "pyftpd_server.h"
#include "real_server.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace brisk::test;
namespace fs = std::filesystem;

namespace {

using Strings = std::vector<std::string>;

// Nested and empty directories, files of several sizes (0 bytes among them), a name with a blank.
void makeTree(const fs::path& root)
{
    writeFileBytes(root / "empty.bin", "");
    writeFileBytes(root / "small.txt", "one line\n");
    writeFileBytes(root / "sub" / "mid.bin", bytePattern(70000, 1));
    writeFileBytes(root / "sub" / "deeper" / "big.bin", bytePattern((1 << 20) + 13, 2));
    fs::create_directories(root / "sub" / "empty dir");
    fs::create_directories(root / "void");
}

class CliTreeTransfer : public TempHomeTest, public ::testing::WithParamInterface<ServerSetting> {};

// The same tree goes up with put -r into a given remote directory and comes back with get -r, on
// every server in both data connection modes.
TEST_P(CliTreeTransfer, PutAndGetATreeByteForByte)
{
    if (auto why = realServerUnavailable(GetParam().kind))
        GTEST_SKIP() << *why;
    const std::unique_ptr<RealServer> server = startRealServer(GetParam().kind);
    server->putFile("into/keep", "");
    TempDir local;
    makeTree(local.path() / "tree");
    fs::create_directories(local.path() / "back");
    const auto cli = [&](Strings args) {
        args.insert(args.begin(), {GetParam().passive ? "-v" : "--active", cliUrl(server->port())});
        const CommandResult r = runCli(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(contains(r.err, "Transfer finished: 4 transferred, 0 skipped, 0 failed")) << r.err;
        return r.err;
    };
    cli({"put", "-r", (local.path() / "tree/").string(), "into"});
    EXPECT_EQ(treeOf(server->root() / "into" / "tree"), treeOf(local.path() / "tree"));
    const Strings files = {"empty.bin", "small.txt", "sub/mid.bin", "sub/deeper/big.bin"};
    for (const std::string& name : files)
        setModifiedTime(server->root() / "into/tree" / name, 1600000007); // a year ago or more: LIST shows no time
    const std::string log = cli({"get", "-r", "into/tree", (local.path() / "back").string()});
    EXPECT_EQ(treeOf(local.path() / "back" / "tree"), treeOf(local.path() / "tree"));
    // The files keep the server's times, to the second: from MLSD where the server lists so (then no
    // MDTM is asked), else from MDTM.
    for (const std::string& name : files)
        EXPECT_EQ(modifiedTime(local.path() / "back/tree" / name), 1600000007) << name;
    if (GetParam().passive) { // verbose
        EXPECT_EQ(contains(log, "> MDTM "), !contains(log, "> MLSD")) << log;
    }
}

// Transfers broken off part-way are resumed to the same bytes on every server: a download from its
// part file (REST), an upload from the remote size (APPE), which leaves nothing to zero-fill.
TEST_P(CliTreeTransfer, ResumedTransfersEndByteForByte)
{
    if (auto why = realServerUnavailable(GetParam().kind))
        GTEST_SKIP() << *why;
    const std::unique_ptr<RealServer> server = startRealServer(GetParam().kind);
    const std::string data = bytePattern((1 << 20) + 77, 9);
    server->putFile("down.bin", data);
    server->putFile("up.bin", data.substr(0, 300001));
    TempDir local;
    writeFileBytes(local.path() / "up.bin", data);
    writeFileBytes(local.path() / "down.bin.part", data.substr(0, 400003));
    const auto cli = [&](Strings args) {
        args.insert(args.begin(), {GetParam().passive ? "-v" : "--active", "-v", "--if-exists", "resume",
                                   cliUrl(server->port())});
        const CommandResult r = runCli(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return r.err;
    };
    EXPECT_TRUE(contains(cli({"put", (local.path() / "up.bin").string(), "up.bin"}), "> APPE up.bin\n"));
    EXPECT_TRUE(contains(cli({"get", "down.bin", (local.path() / "down.bin").string()}), "> REST 400003\n"));
    EXPECT_TRUE(readFileBytes(server->root() / "up.bin") == data);
    EXPECT_EQ(treeOf(local.path()), (std::map<std::string, std::string>{{"down.bin", data}, {"up.bin", data}}));
    EXPECT_TRUE(readFileBytes(server->root() / "down.bin") == data);
}

INSTANTIATE_TEST_SUITE_P(Servers, CliTreeTransfer, ::testing::ValuesIn(allServerSettings()),
                         [](const auto& info) { return serverSettingName(info.param); });

// What exists at the target, on either side: skipped, overwritten or resumed as --if-exists (or
// else the stored options) say; and exit status 2 when a file fails.
class CliTreeIfExists : public CliVsftpdTest {
protected:
    void SetUp() override
    {
        CliVsftpdTest::SetUp();
        if (IsSkipped())
            return;
        writeFileBytes(src() / "a.bin", bytePattern(300000, 3));
        writeFileBytes(src() / "b.txt", "hello\n");
        fs::create_directories(dst());
    }
    fs::path src() const { return local.path() / "src" / "t"; }
    fs::path dst() const { return local.path() / "dst"; }
    fs::path remote(const std::string& name) const { return server->dataDir() / "t" / name; }
    CommandResult get(const Strings& flags, int status = 0) { return cli(flags, {"get", "-r", "t", dst()}, status); }
    CommandResult put(const Strings& flags, int status = 0) { return cli(flags, {"put", "-r", src()}, status); }
    CommandResult cli(Strings args, const Strings& command, int status)
    {
        args.push_back(url);
        args.insert(args.end(), command.begin(), command.end());
        CommandResult r = runCli(args);
        EXPECT_EQ(r.exitCode, status) << r.err;
        return r;
    }

    TempDir local;
};

TEST_F(CliTreeIfExists, SkipOverwriteResumeBothWays)
{
    put({});
    get({});
    EXPECT_EQ(treeOf(dst() / "t"), treeOf(src()));

    // Without the option and without an options file: skip.
    writeFileBytes(dst() / "t" / "a.bin", "local");
    CommandResult r = get({});
    EXPECT_TRUE(contains(r.err, "Transfer finished: 0 transferred, 2 skipped, 0 failed")) << r.err;
    EXPECT_EQ(readFileBytes(dst() / "t" / "a.bin"), "local");
    // The stored choice decides when the option is not given.
    writeFile(home() + "options.ftp", "[Common]\nDefPrompt=1\n");
    r = get({});
    EXPECT_TRUE(contains(r.err, "Transfer finished: 2 transferred, 0 skipped, 0 failed")) << r.err;
    EXPECT_EQ(treeOf(dst() / "t"), treeOf(src()));

    // A stored "resume" is not taken: the command line resumes only when told to.
    writeFileBytes(dst() / "t" / "a.bin.part", readFileBytes(src() / "a.bin").substr(0, 100000));
    writeFile(home() + "options.ftp", "[Common]\nDefPrompt=2\n");
    r = get({"-v"});
    EXPECT_TRUE(contains(r.err, "Transfer finished: 0 transferred, 2 skipped, 0 failed")) << r.err;
    EXPECT_FALSE(contains(r.err, "> REST")) << r.err;
    // The part file is continued; b.txt, whole already and without a part file, comes whole again.
    r = get({"-v", "--if-exists", "resume"});
    EXPECT_EQ(treeOf(dst() / "t"), treeOf(src()));
    EXPECT_TRUE(contains(r.err, "> REST 100000\n") && !contains(r.err, "> REST 6\n")) << r.err;

    fs::resize_file(remote("a.bin"), 123456);
    writeFileBytes(remote("b.txt"), "remote");
    put({"--if-exists", "skip"});
    EXPECT_EQ(readFileBytes(remote("b.txt")), "remote");
    EXPECT_EQ(fs::file_size(remote("a.bin")), 123456u);
    r = put({"-v"});
    EXPECT_FALSE(contains(r.err, "> APPE") || contains(r.err, "> REST")) << r.err;
    r = put({"-v", "--if-exists", "resume"});
    EXPECT_TRUE(contains(r.err, "> SIZE /t/a.bin\n") && contains(r.err, "> APPE /t/a.bin\n")) << r.err;
    EXPECT_EQ(readFileBytes(remote("a.bin")), readFileBytes(src() / "a.bin"));
    put({"--if-exists", "overwrite"});
    EXPECT_EQ(treeOf(server->dataDir() / "t"), treeOf(src()));
}

TEST_F(CliTreeIfExists, ExitStatus2WhenAFileFailsAnd1ForUsageErrors)
{
    put({});
    // The server reads as the FTP user, who may not read this one.
    fs::permissions(remote("b.txt"), fs::perms::none);
    CommandResult r = get({}, 2);
    EXPECT_TRUE(contains(r.err, "Transfer finished: 1 transferred, 0 skipped, 1 failed")) << r.err;
    EXPECT_EQ(readFileBytes(dst() / "t" / "a.bin"), readFileBytes(src() / "a.bin"));
    // A user who may not write: the top directory cannot be made.
    r = runCli({cliUrl(server->port(), std::string(kFtpReadOnlyUser) + ":" + kFtpReadOnlyPassword + "@"), "put",
                "-r", (local.path() / "src").string()});
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_TRUE(contains(r.err, "Transfer finished: 0 transferred, 0 skipped, 1 failed")) << r.err;

    for (const Strings& args : {Strings{url, "get", "-r"}, Strings{url, "put", "-r", "a", "b", "c"},
                                Strings{"--if-exists", "ask", url, "get", "-r", "t"}})
        EXPECT_EQ(runCli(args).exitCode, 1) << args[args.size() - 1];
}

// One folder of four that the FTP user may not enter: get -r skips it by name and fetches the
// other three byte for byte; the server's tree stays as it was. Exit status 2.
TEST_F(CliTreeIfExists, GetSkipsAFolderThatCannotBeEnteredAndFetchesItsSiblings)
{
    for (const char* dir : {"a", "b", "c", "d"})
        writeFileBytes(server->dataDir() / "four" / dir / "f.bin", bytePattern(5000, dir[0]));
    fs::permissions(server->dataDir() / "four" / "b", fs::perms::none);
    const auto remoteBefore = treeOf(server->dataDir());
    const CommandResult r = cli({}, {"get", "-r", "four", dst()}, 2);
    EXPECT_TRUE(contains(r.err, "Transfer finished: 3 transferred, 0 skipped, 1 failed\nFailed: ")) << r.err;
    EXPECT_TRUE(contains(r.err, "/four/b\n")) << r.err;
    fs::permissions(server->dataDir() / "four" / "b", fs::perms(0755));
    EXPECT_EQ(treeOf(server->dataDir()), remoteBefore);
    auto expected = treeOf(server->dataDir() / "four");
    expected.erase("b");
    expected.erase("b/f.bin");
    EXPECT_EQ(treeOf(dst() / "four"), expected);
}

// A local folder that cannot be read (mode 000, the command run as a user the mode stops) is a
// failure, never an empty folder: nothing of it reaches the server, its siblings do. Exit status 2.
TEST_F(CliTreeIfExists, PutCountsAnUnreadableLocalFolderAndSendsItsSiblings)
{
    TempDir open(0755);
    for (const char* dir : {"a", "b", "c"})
        writeFileBytes(open.path() / "up" / dir / "f.bin", bytePattern(7000, dir[0]));
    for (const char* dir : {"up", "up/a", "up/c"})
        fs::permissions(open.path() / dir, fs::perms(0755));
    fs::permissions(open.path() / "up" / "b", fs::perms::none);
    fs::permissions(home(), fs::perms::all);
    const CommandResult r = runCommand({"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                                        BRISKLANE_CLI_PATH, url, "put", "-r", (open.path() / "up").string()},
                                       {}, std::chrono::seconds(60));
    fs::permissions(open.path() / "up" / "b", fs::perms(0755));
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_TRUE(contains(r.err, "Transfer finished: 2 transferred, 0 skipped, 1 failed\nFailed: " +
                                    (open.path() / "up" / "b").string() + "\n")) << r.err;
    auto expected = treeOf(open.path() / "up");
    expected.erase("b");
    expected.erase("b/f.bin");
    EXPECT_EQ(treeOf(server->dataDir() / "up"), expected);
}

// A real server refusing one folder's listing (pyftpdlib without the right to list there): get -r
// fetches the siblings and makes nothing of that folder; rm -r removes the siblings and keeps that
// folder with its files and the folder above it. Both exit with status 2.
class CliTreeListingRefused : public TempHomeTest {};

TEST_F(CliTreeListingRefused, GetAndRmStayOutsideTheFolderOnly)
{
    if (auto why = PyftpdServer::unavailableReason())
        GTEST_SKIP() << *why;
    PyftpdOptions options;
    options.userRightsIn = {{"four/b", "eradfmwMT"}};
    PyftpdServer server(options);
    for (const char* dir : {"a", "b", "c", "d"})
        writeFileBytes(server.root() / "four" / dir / "f.bin", bytePattern(3000, dir[0]));
    writeFileBytes(server.root() / "other.txt", "other");
    TempDir local;
    const std::string serverUrl = cliUrl(server.port());
    CommandResult r = runCli({serverUrl, "get", "-r", "four", local.path().string()});
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_TRUE(contains(r.err, "Transfer finished: 3 transferred, 0 skipped, 1 failed\nFailed: /four/b\n")) << r.err;
    auto expected = treeOf(server.root() / "four");
    expected.erase("b");
    expected.erase("b/f.bin");
    EXPECT_EQ(treeOf(local.path() / "four"), expected);

    const auto kept = readFileBytes(server.root() / "four" / "b" / "f.bin");
    r = runCli({serverUrl, "rm", "-r", "four"});
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_TRUE(contains(r.err, "Failed: /four/b\n")) << r.err;
    EXPECT_EQ(treeOf(server.root()), (std::map<std::string, std::string>{{"four", "<dir>"}, {"four/b", "<dir>"},
                                                                         {"four/b/f.bin", kept},
                                                                         {"other.txt", "other"}}));
}

} // namespace
