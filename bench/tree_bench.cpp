// Download and upload of one tree (20 directories of 100 files of 4 KiB under one top directory) by
// brisklane-cli (get -r / put -r) and by lftp (mirror / mirror -R), against one local vsftpd, both on
// one connection with one transfer at a time and then on 4 and 8 (ours --parallel, lftp's mirror
// --parallel); then the tree's mirror download by brisklane-cli (mirror
// --direction local) and by lftp (mirror) on 1, 4 and 8 connections, and its mirror upload ("mir-up":
// ours in its default direction, lftp's mirror -R) on as many. Rounds alternate between the
// programs; each run's copy is compared byte for byte with the source and removed. Reported: each
// round, then the medians of wall time and client CPU time (user + system), the mirror goals' ratios,
// and the commands each client sent (from vsftpd's protocol log, first round) per file and per
// directory. lftp also runs without the per-file work brisklane-cli does not do ("lean": no MDTM on
// get, no SITE CHMOD on put).
// With --delay MS every client goes through a relay that adds MS milliseconds each way (a slow link).
// Usage: tree_bench [rounds] [--delay MS] [--only get|put|mirror|mir-up]   (default 5 rounds, no delay;
// mirror: both ways)
#include "command_runner.h"
#include "delay_relay.h"
#include "ftp_users.h"
#include "measured_run.h"
#include "mirror_down_cases.h"
#include "owned_files.h"
#include "small_tree.h"
#include "temp_dir.h"
#include "vsftpd_commands.h"
#include "vsftpd_server.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace brisk::test;
using namespace bench;
namespace fs = std::filesystem;

namespace {

struct Options {
    int rounds = 5;
    int delayMs = 0;
    std::string only; // a direction, or every case
};

bool parseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--delay" && i + 1 < argc)
            options.delayMs = std::max(0, std::atoi(argv[++i]));
        else if (a == "--only" && i + 1 < argc)
            options.only = argv[++i];
        else if (!a.empty() && a[0] != '-')
            options.rounds = std::max(1, std::atoi(a.c_str()));
        else
            return false;
    }
    return true;
}

void report(const char* direction, const char* program, const Run& run, bool intact)
{
    std::printf("%-6s %-17s wall %7.3f s  client CPU %6.3f s  server CPU %6.3f s  exit %d%s\n", direction, program,
                run.seconds, run.cpuSeconds, run.serverCpuSeconds, run.status, intact ? "" : "  COPY DIFFERS");
}

// Where the clients connect and where their copies land.
struct Setup {
    std::string port;
    fs::path source, data, work;

    std::string url() const { return "ftp://" + std::string(kFtpUser) + ":" + kFtpPassword + "@127.0.0.1:" + port; }
    std::vector<std::string> lftp(const std::string& commands, int connections = 1) const
    {
        const std::string login = std::string(kFtpUser) + "," + kFtpPassword;
        return {"lftp", "-u", login, "-p", port, "-e", lftpScript(lftpParallel(connections) + commands), "127.0.0.1"};
    }
};

std::vector<Case> getPutCases(const Setup& s)
{
    const fs::path oursGet = s.work / "ours-get", lftpGet = s.work / "lftp-get";
    const std::string downLftp = "mirror tree " + (lftpGet / "tree").string();
    const std::string source = s.source.string();
    return {
        {"get", "brisklane-cli", {BRISKLANE_CLI_PATH, s.url(), "get", "-r", "tree", oursGet.string()}, oursGet / "tree"},
        {"get", "lftp", s.lftp(downLftp), lftpGet / "tree"},
        {"put", "brisklane-cli", {BRISKLANE_CLI_PATH, s.url(), "put", "-r", source, "up-ours"},
         s.data / "up-ours" / "tree"},
        {"put", "lftp", s.lftp("mirror -R " + source + " up-lftp/tree"), s.data / "up-lftp" / "tree"},
        // lftp without the per-file work ours does not do either (MDTM on get, SITE CHMOD on put).
        {"get", "lftp lean", s.lftp("set ftp:use-mdtm off; " + downLftp), lftpGet / "tree"},
        {"put", "lftp lean", s.lftp("mirror -R --no-perms " + source + " up-lftp/tree"), s.data / "up-lftp" / "tree"},
    };
}

// Both directions on 4 and 8 connections: ours with --parallel, lftp's mirror with as many.
std::vector<Case> parallelGetPutCases(const Setup& s)
{
    const fs::path oursGet = s.work / "ours-get", lftpGet = s.work / "lftp-get";
    const std::string source = s.source.string();
    std::vector<Case> cases;
    for (size_t i = 1; i < std::size(kConnections); ++i) {
        const std::string n = std::to_string(kConnections[i]);
        cases.push_back({"get", kOursMirror[i],
                         {BRISKLANE_CLI_PATH, "--parallel", n, s.url(), "get", "-r", "tree", oursGet.string()},
                         oursGet / "tree"});
        cases.push_back({"get", kLftpMirror[i],
                         s.lftp("mirror --parallel=" + n + " tree " + (lftpGet / "tree").string(), kConnections[i]),
                         lftpGet / "tree"});
        cases.push_back({"put", kOursMirror[i],
                         {BRISKLANE_CLI_PATH, "--parallel", n, s.url(), "put", "-r", source, "up-ours"},
                         s.data / "up-ours" / "tree"});
        cases.push_back({"put", kLftpMirror[i],
                         s.lftp("mirror -R --parallel=" + n + " " + source + " up-lftp/tree", kConnections[i]),
                         s.data / "up-lftp" / "tree"});
    }
    return cases;
}

// Ours on more than one connection only once the CLI has the option.
std::vector<Case> mirrorCases(const Setup& s)
{
    const ParallelOption parallel = parallelOptionIn(runCli({"--help"}).out);
    const fs::path oursCopy = s.work / "ours-mirror" / "tree", lftpCopy = s.work / "lftp-mirror" / "tree";
    std::vector<Case> cases;
    for (size_t i = 0; i < std::size(kConnections); ++i) {
        const int n = kConnections[i];
        if (n == 1 || parallel != ParallelOption::none)
            cases.push_back({"mirror", kOursMirror[i],
                             oursMirrorDown(s.url(), parallel, n, "tree", oursCopy.string()), oursCopy});
        cases.push_back({"mirror", kLftpMirror[i],
                         s.lftp("mirror --parallel=" + std::to_string(n) + " tree " + lftpCopy.string(), n), lftpCopy});
    }
    return cases;
}

constexpr const char* kMirrorUp = "mir-up";

// The tree's mirror upload into an empty remote directory on 1, 4 and 8 connections: ours (mirror
// --direction remote, the default, into the directory it must find there) and lftp's mirror -R.
std::vector<Case> mirrorUpCases(const Setup& s)
{
    const fs::path oursCopy = s.data / "up-ours-mirror" / "tree", lftpCopy = s.data / "up-lftp-mirror" / "tree";
    const std::string source = s.source.string();
    std::vector<Case> cases;
    for (size_t i = 0; i < std::size(kConnections); ++i) {
        const std::string n = std::to_string(kConnections[i]);
        std::vector<std::string> ours{BRISKLANE_CLI_PATH, s.url(), "mirror", "--subdirs", source, "up-ours-mirror/tree"};
        if (kConnections[i] > 1)
            ours.insert(ours.begin() + 1, {"--parallel", n});
        cases.push_back({kMirrorUp, kOursMirror[i], ours, oursCopy});
        cases.push_back({kMirrorUp, kLftpMirror[i],
                         s.lftp("mirror -R --parallel=" + n + " " + source + " up-lftp-mirror/tree", kConnections[i]),
                         lftpCopy});
    }
    return cases;
}

// "mirror" takes the mirror cases both ways.
std::vector<Case> selected(std::vector<Case> cases, const std::string& only)
{
    if (!only.empty())
        std::erase_if(cases, [&](const Case& c) {
            return only != c.direction && !(only == "mirror" && c.direction == std::string(kMirrorUp));
        });
    return cases;
}

// Local copies land in directories that exist and are empty; ours mirrors into its own target, on
// either side.
void prepareTargets(const Setup& s)
{
    for (const char* dir : {"ours-get", "lftp-get", "lftp-mirror", "ours-mirror/tree"})
        fs::create_directories(s.work / dir);
    makeDirOwnedBy(s.data / "up-ours-mirror" / "tree", kFtpUser);
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // our lines in order with the clients' messages on stderr
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: tree_bench [rounds] [--delay MS] [--only get|put|mirror|mir-up]\n");
        return 2;
    }
    if (auto why = VsftpdServer::unavailableReason()) {
        std::fprintf(stderr, "tree_bench: %s\n", why->c_str());
        return 1;
    }
    VsftpdServer server;
    std::unique_ptr<DelayRelay> relay;
    if (options.delayMs > 0)
        relay = std::make_unique<DelayRelay>(server.port(), std::chrono::milliseconds(options.delayMs));
    TempDir work(0755);
    Setup s{std::to_string(relay ? relay->port() : server.port()), work.path() / "src" / "tree", server.dataDir(),
            work.path()};
    makeTree(s.source);
    fs::copy(s.source, s.data / "tree", fs::copy_options::recursive);
    makeDirOwnedBy(s.data / "up-ours", kFtpUser);
    makeDirOwnedBy(s.data / "up-lftp", kFtpUser);
    makeDirOwnedBy(s.data / "up-ours-mirror", kFtpUser);
    makeDirOwnedBy(s.data / "up-lftp-mirror", kFtpUser);
    std::vector<Case> cases = getPutCases(s);
    for (Case& c : parallelGetPutCases(s))
        cases.push_back(std::move(c));
    for (Case& c : mirrorCases(s))
        cases.push_back(std::move(c));
    for (Case& c : mirrorUpCases(s))
        cases.push_back(std::move(c));
    cases = selected(std::move(cases), options.only);

    std::printf("tree: %d directories x %d files x %zu bytes, passive, binary, vsftpd on 127.0.0.1\n", kDirs,
                kFilesPerDir, kFileSize);
    if (relay)
        std::printf("link: %d ms each way through the delay relay (NOOP round trip %.1f ms)\n", options.delayMs,
                    noopRoundTripMs(relay->port()));
    std::vector<bool> intactCases(cases.size(), true);
    std::vector<std::vector<Run>> runs(cases.size());
    std::vector<Commands> commands(cases.size());
    for (int round = 0; round < options.rounds; ++round) {
        for (size_t i = 0; i < cases.size(); ++i) {
            const Case& c = cases[i];
            prepareTargets(s);
            const size_t logBefore = server.logContents().size();
            const Run run = measure(c);
            if (round == 0)
                commands[i] = commandsIn(server.logContents().substr(logBefore));
            const bool intact = run.status == 0 && sameTree(s.source, c.copy);
            report(c.direction, c.program, run, intact);
            intactCases[i] = intactCases[i] && intact;
            runs[i].push_back(run);
            fs::remove_all(c.copy);
        }
    }
    std::printf("median of %d rounds:\n", options.rounds);
    std::vector<Run> medians;
    for (size_t i = 0; i < cases.size(); ++i) {
        medians.push_back(median(runs[i]));
        report(cases[i].direction, cases[i].program, medians.back(), true);
    }
    reportMirrorGoals(cases, medians, intactCases);
    std::printf("commands sent (first round; %d files, %d directories):\n", kDirs * kFilesPerDir, kDirs + 1);
    for (size_t i = 0; i < cases.size(); ++i)
        reportCommands(cases[i].direction, cases[i].program, commands[i]);
    if (relay)
        std::printf("data connections through the relay: %llu\n", (unsigned long long)relay->dataConnections());
    bool oursIntact = true;
    for (size_t i = 0; i < cases.size(); ++i)
        oursIntact = oursIntact && (intactCases[i] || !isOurs(cases[i]));
    std::printf("brisklane-cli copies identical to the source: %s\n", oursIntact ? "yes" : "NO");
    return oursIntact ? 0 : 1;
}
