// get -r and put -r with --parallel: files on connections of their own while the session's
// connection walks the tree, on every server; fewer connections where the server refuses more.
#include "byte_pattern.h"
#include "cli_vsftpd_test.h"
#include "file_io.h"
#include "file_tree.h"
#include "real_server.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <signal.h>

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
