// get -r, put -r and mirror with --parallel: files on connections of their own while the session's
// connection walks the tree, on every server; fewer connections where the server refuses more.
#include "byte_pattern.h"
#include "cli_vsftpd_test.h"
#include "file_io.h"
#include "file_tree.h"
#include "real_server.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

using namespace brisk::test;
namespace fs = std::filesystem;

namespace {

using Strings = std::vector<std::string>;

// Enough files in a few directories that several connections have work at once.
void makeWideTree(const fs::path& root)
{
    writeFileBytes(root / "top.txt", "top\n");
    writeFileBytes(root / "empty.bin", "");
    for (const char* dir : {"a", "b", "b/c"})
        for (int i = 0; i < 6; ++i)
            writeFileBytes(root / dir / ("f" + std::to_string(i) + ".bin"), bytePattern(30000 + 4099 * i, i));
}
constexpr int kWideTreeFiles = 20;

std::string finished(int transferred)
{
    return "Transfer finished: " + std::to_string(transferred) + " transferred, 0 skipped, 0 failed";
}

// The numbers of the worker connections that sent `command` ("[2] > RETR ..."), and whether the
// session's own connection sent it.
struct Senders {
    std::set<std::string> workers;
    bool session = false;
};

Senders sendersOf(const std::string& log, const std::string& command)
{
    Senders senders;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("> " + command + " ", 0) == 0)
            senders.session = true;
        const size_t close = line.find("] > " + command + " ");
        if (line.rfind("[", 0) == 0 && close != std::string::npos)
            senders.workers.insert(line.substr(1, close - 1));
    }
    return senders;
}

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.rfind(prefix, 0) == 0;
}

// "Mirror finished: ..." up to the time it took, and the failures listed under it.
std::string mirrorOutcome(const std::string& err)
{
    const size_t at = err.find("Mirror finished: ");
    if (at == std::string::npos)
        return "no summary";
    std::string outcome = err.substr(at, err.find(" bytes in ", at) - at) + "\n";
    std::istringstream lines(err.substr(at));
    for (std::string line; std::getline(lines, line);)
        if (startsWith(line, "  failed: "))
            outcome += line + "\n";
    return outcome;
}

class CliParallelTransfer : public TempHomeTest, public ::testing::WithParamInterface<ServerSetting> {};

TEST_P(CliParallelTransfer, FourConnectionsMoveATreeByteForByte)
{
    if (auto why = realServerUnavailable(GetParam().kind))
        GTEST_SKIP() << *why;
    const std::unique_ptr<RealServer> server = startRealServer(GetParam().kind);
    TempDir local;
    makeWideTree(local.path() / "tree");
    fs::create_directories(local.path() / "back");
    const auto cli = [&](Strings args) {
        Strings flags{"-v", "--parallel", "4"};
        if (!GetParam().passive)
            flags.push_back("--active");
        flags.push_back(cliUrl(server->port()));
        args.insert(args.begin(), flags.begin(), flags.end());
        const CommandResult r = runCli(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(contains(r.err, finished(kWideTreeFiles))) << r.err;
        return r.err;
    };
    const std::string up = cli({"put", "-r", (local.path() / "tree").string()});
    EXPECT_EQ(treeOf(server->root() / "tree"), treeOf(local.path() / "tree"));
    const std::string down = cli({"get", "-r", "tree", (local.path() / "back").string()});
    EXPECT_EQ(treeOf(local.path() / "back" / "tree"), treeOf(local.path() / "tree"));
    // Every file went over a connection of its own, and more than one connection carried them.
    for (const auto& [log, command] : {std::pair{up, "STOR"}, std::pair{down, "RETR"}}) {
        const Senders senders = sendersOf(log, command);
        EXPECT_FALSE(senders.session) << log;
        EXPECT_GE(senders.workers.size(), 2u) << log;
    }
}

// A mirror up, then back down, each deleting what the other side lacks: every file on the workers,
// and the session's connection deletes only once the uploads under way have ended.
TEST_P(CliParallelTransfer, FourConnectionsMirrorATreeUpAndDown)
{
    if (auto why = realServerUnavailable(GetParam().kind))
        GTEST_SKIP() << *why;
    const std::unique_ptr<RealServer> server = startRealServer(GetParam().kind);
    TempDir local;
    makeWideTree(local.path() / "tree");
    const Strings staleRemote{"up/stale.bin", "up/a/stale.bin", "up/b/c/stale.bin"};
    for (const std::string& stale : staleRemote)
        server->putFile(stale, "stale");
    for (const char* stale : {"back/stale.bin", "back/b/stale.bin"})
        writeFileBytes(local.path() / stale, "stale");
    const auto mirror = [&](Strings args, const std::string& summary) {
        Strings flags{"-v", "-P", "4"};
        if (!GetParam().passive)
            flags.push_back("--active");
        flags.insert(flags.end(), {cliUrl(server->port()), "mirror", "--subdirs", "--delete"});
        args.insert(args.begin(), flags.begin(), flags.end());
        const CommandResult r = runCli(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(mirrorOutcome(r.err), summary) << r.err;
        return r.err;
    };
    const std::string up = mirror({(local.path() / "tree").string(), "up"},
                                  "Mirror finished: 20 transferred, 3 deleted, 0 skipped, 0 failed, 724459\n");
    EXPECT_EQ(treeOf(server->root() / "up"), treeOf(local.path() / "tree"));
    const std::string down = mirror({"--direction", "local", (local.path() / "back").string(), "up"},
                                    "Mirror finished: 20 transferred, 2 deleted, 0 skipped, 0 failed, 724459\n");
    EXPECT_EQ(treeOf(local.path() / "back"), treeOf(local.path() / "tree"));
    for (const auto& [log, command] : {std::pair{up, "STOR"}, std::pair{down, "RETR"}}) {
        const Senders senders = sendersOf(log, command);
        EXPECT_FALSE(senders.session) << log;
        EXPECT_GE(senders.workers.size(), 2u) << log;
    }
    // The workers rename their uploads themselves; each of the session's deletions comes when every
    // upload started so far has been renamed, so none is under way.
    EXPECT_FALSE(sendersOf(up, "RNTO").session) << up;
    size_t stored = 0, renamed = 0, deleted = 0;
    std::istringstream lines(up);
    for (std::string line; std::getline(lines, line);) {
        const bool worker = startsWith(line, "[");
        stored += worker && contains(line, "] > STOR ");
        renamed += worker && contains(line, "] > RNTO ");
        if (startsWith(line, "> DELE ")) {
            ++deleted;
            EXPECT_EQ(renamed, stored) << line << "\n" << up;
        }
    }
    EXPECT_EQ(renamed, 20u) << up;
    EXPECT_EQ(deleted, staleRemote.size()) << up;
}

// Every server passive, and one active. pyftpdlib leaves a PORT unanswered now and then while
// another session's active data connection is being made (lftp's mirror --parallel stalls there
// too); the workers' time-out would carry such a file over, but only slowly.
std::vector<ServerSetting> parallelSettings()
{
    std::vector<ServerSetting> settings;
    for (const std::string& kind : realServerKinds())
        settings.push_back({kind, true});
    settings.push_back({"vsftpd", false});
    return settings;
}

INSTANTIATE_TEST_SUITE_P(Servers, CliParallelTransfer, ::testing::ValuesIn(parallelSettings()),
                         [](const auto& info) { return serverSettingName(info.param); });

// A server that takes two connections from an address (the session's and one more): the others
// are refused with 421, the transfers go on with the one it took, and every file arrives.
class CliParallelRefused : public TempHomeTest {};

TEST_F(CliParallelRefused, A421LowersTheConnectionsAndEveryFileArrives)
{
    if (auto why = VsftpdServer::unavailableReason())
        GTEST_SKIP() << *why;
    const VsftpdServer server(ConnectionsPerAddress{2});
    TempDir local;
    makeWideTree(local.path() / "tree");
    fs::create_directories(local.path() / "back");
    for (const Strings& command : {Strings{"put", "-r", (local.path() / "tree").string()},
                                   Strings{"get", "-r", "tree", (local.path() / "back").string()}}) {
        Strings args{"-v", "-P", "4", cliUrl(server.port())};
        args.insert(args.end(), command.begin(), command.end());
        const CommandResult r = runCli(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(contains(r.err, finished(kWideTreeFiles))) << r.err;
        EXPECT_TRUE(contains(r.err, "< 421 ")) << r.err;
        EXPECT_TRUE(contains(r.err, "The server accepts no more connections: the transfers go on with those it took (1)"))
            << r.err;
    }
    EXPECT_EQ(treeOf(server.dataDir() / "tree"), treeOf(local.path() / "tree"));
    EXPECT_EQ(treeOf(local.path() / "back" / "tree"), treeOf(local.path() / "tree"));
}

// A server that takes the session's connection and one more: the mirror goes on with that one. One
// that takes none more: the session's connection transfers every file itself.
TEST_F(CliParallelRefused, AMirrorGoesOnWithTheConnectionsTheServerTakes)
{
    if (auto why = VsftpdServer::unavailableReason())
        GTEST_SKIP() << *why;
    struct Case {
        int perAddress;
        size_t workers;   // that carried files
    };
    for (const Case& c : {Case{2, 1}, Case{1, 0}}) {
        SCOPED_TRACE(c.perAddress);
        const VsftpdServer server(ConnectionsPerAddress{c.perAddress});
        server.writeDataFile("up/stale.bin", "stale");
        TempDir local;
        makeWideTree(local.path() / "tree");
        fs::create_directories(local.path() / "back");
        for (const auto& [dirs, command] : {std::pair{Strings{(local.path() / "tree").string(), "up"}, "STOR"},
                                            std::pair{Strings{"--direction", "local",
                                                              (local.path() / "back").string(), "up"},
                                                      "RETR"}}) {
            Strings args{"-v", "-P", "4", cliUrl(server.port()), "mirror", "--subdirs", "--delete"};
            args.insert(args.end(), dirs.begin(), dirs.end());
            const CommandResult r = runCli(args);
            EXPECT_EQ(r.exitCode, 0) << r.err;
            EXPECT_TRUE(contains(r.err, "Mirror finished: 20 transferred, ")) << r.err;
            EXPECT_TRUE(contains(r.err, "< 421 ")) << r.err;
            const Senders senders = sendersOf(r.err, command);
            EXPECT_EQ(senders.workers.size(), c.workers) << r.err;
            EXPECT_EQ(senders.session, c.workers == 0) << r.err;
        }
        EXPECT_EQ(treeOf(server.dataDir() / "up"), treeOf(local.path() / "tree"));
        EXPECT_EQ(treeOf(local.path() / "back"), treeOf(local.path() / "tree"));
    }
}

// A file that fails on a worker fails as it does on the session's connection: the same summary,
// the same reason listed, exit status 2, and nothing in its place on the target side.
class CliParallelMirror : public CliVsftpdTest {};

TEST_F(CliParallelMirror, AFailedFileCountsAsOnOneConnection)
{
    TempDir local;
    server->writeDataFile("m/a.bin", "a");
    server->writeDataFile("m/b.bin", "b");
    server->writeDataFile("m/s/c.bin", "c");
    // The server reads as the FTP user, who may not read this one.
    fs::permissions(server->dataDir() / "m" / "b.bin", fs::perms::none);
    writeFileBytes(local.path() / "up" / "ok.bin", "ok");
    writeFileBytes(local.path() / "up" / "ro" / "x.bin", "x");
    server->writeDataFile("up/other.bin", "o");
    // Owned by root: the FTP user may not write into it.
    fs::create_directories(server->dataDir() / "up" / "ro");
    struct Case {
        Strings args;
        std::string outcome;
    };
    const Case cases[] = {
        {{"--direction", "local", "--subdirs", (local.path() / "down").string(), "m"},
         "Mirror finished: 2 transferred, 0 deleted, 0 skipped, 1 failed, 2\n"
         "  failed: b.bin: 550 Failed to open file.\n"},
        {{"--subdirs", (local.path() / "up").string(), "up"},
         "Mirror finished: 1 transferred, 0 deleted, 0 skipped, 1 failed, 2\n"
         "  failed: ro/x.bin: 553 Could not create file.\n"},
    };
    for (const Case& c : cases) {
        for (const char* parallel : {"1", "4"}) {
            SCOPED_TRACE(c.args.back() + " -P " + parallel);
            fs::remove_all(local.path() / "down");
            fs::create_directories(local.path() / "down");
            Strings args{"-v", "-P", parallel, url, "mirror"};
            args.insert(args.end(), c.args.begin(), c.args.end());
            const CommandResult r = runCli(args);
            EXPECT_EQ(r.exitCode, 2) << r.err;
            EXPECT_EQ(mirrorOutcome(r.err), c.outcome) << r.err;
            EXPECT_FALSE(fs::exists(local.path() / "down" / "b.bin"));
            EXPECT_FALSE(fs::exists(server->dataDir() / "up" / "ro" / "x.bin"));
            EXPECT_FALSE(fs::exists(server->dataDir() / "up" / "ro" / "x.bin.part"));
        }
    }
}

// The session process vsftpd runs for the connection that sent `command`, from its protocol log
// ("[pid N] [user] FTP command: Client "127.0.0.1", "RETR /big.bin""); 0 while there is none.
pid_t sessionThatSent(const VsftpdServer& server, const std::string& command)
{
    static const std::regex line("\\[pid (\\d+)\\][^\\n]*FTP command: [^\\n]*\"(RETR|STOR) ([^\"\\n]*)\"");
    const std::string log = server.logContents();
    for (std::sregex_iterator it(log.begin(), log.end(), line), end; it != end; ++it)
        if ((*it)[2].str() + " " + (*it)[3].str() == command)
            return pid_t(std::stoi((*it)[1].str()));
    return 0;
}

// A worker's connection dies in the middle of a file (its server process killed): the worker logs
// in again and resumes the file from its part, and the tree arrives whole.
// A server that renames nothing: the worker's rename of its temporary upload fails, the session's
// connection tries once more, and on its refusal that file and every later one go under their own
// names. No temporary copy stays behind.
TEST_F(CliParallelRefused, AMirrorUploadWhoseRenameIsRefusedIsSentUnderItsOwnName)
{
    if (auto why = VsftpdServer::unavailableReason())
        GTEST_SKIP() << *why;
    const VsftpdServer server;
    server.denyUserCommands("RNFR,RNTO");
    server.writeDataFile("up/stale.bin", "stale");
    TempDir local;
    makeWideTree(local.path() / "tree");
    const CommandResult r = runCli({"-v", "-P", "4", cliUrl(server.port()), "mirror", "--subdirs", "--delete",
                                    (local.path() / "tree").string(), "up"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(contains(r.err, "Mirror finished: 20 transferred, 1 deleted, 0 skipped, 0 failed")) << r.err;
    EXPECT_TRUE(contains(r.err, "; it is sent again under its own name")) << r.err;
    EXPECT_TRUE(contains(r.err, "] < 550 ")) << "a worker's rename was refused\n" << r.err;
    EXPECT_EQ(treeOf(server.dataDir() / "up"), treeOf(local.path() / "tree"));
}

TEST_F(CliParallelRefused, AConnectionKilledMidFileIsOpenedAgainAndTheFileResumed)
{
    if (auto why = VsftpdServer::unavailableReason())
        GTEST_SKIP() << *why;
    const VsftpdServer server;
    server.setUserRateLimit(256 * 1024);   // the big file takes a few seconds
    const std::string big = bytePattern(1500000, 7);
    server.writeDataFile("tree/big.bin", big);
    for (int i = 0; i < 3; ++i)
        server.writeDataFile("tree/f" + std::to_string(i), bytePattern(5000 + i, i));
    TempDir local;
    std::atomic<bool> killed = false;
    std::thread killer([&] {
        for (int round = 0; round < 400 && !killed; ++round) {
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
            if (const pid_t pid = sessionThatSent(server, "RETR /tree/big.bin")) {
                std::this_thread::sleep_for(std::chrono::milliseconds(700));
                killed = kill(pid, SIGKILL) == 0;
                return;
            }
        }
    });
    const CommandResult r = runCli({"-v", "-P", "2", cliUrl(server.port()), "get", "-r", "tree", local.path().string()});
    killer.join();
    ASSERT_TRUE(killed) << r.err;
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(contains(r.err, finished(4))) << r.err;
    EXPECT_TRUE(contains(r.err, "The connection was lost during /tree/big.bin; it is opened again and the file resumed"))
        << r.err;
    EXPECT_TRUE(std::regex_search(r.err, std::regex(R"(\[\d+\] > REST [1-9]\d*\n)"))) << r.err;
    EXPECT_TRUE(contains(r.err, "] > PASS (hidden)")) << r.err;
    EXPECT_FALSE(contains(r.err, kFtpPassword)) << "a transfer connection logged the password";
    EXPECT_TRUE(readFileBytes(local.path() / "tree" / "big.bin") == big);
    EXPECT_FALSE(fs::exists(local.path() / "tree" / "big.bin.part"));
}

} // namespace
