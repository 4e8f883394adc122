// Mirror runs of one tree (20 directories of 100 files of 4 KiB under one top directory) by
// brisklane-cli (mirror --subdirs) and by lftp (mirror / mirror -R), against one local vsftpd, both
// on one connection with one transfer at a time: down into an empty local directory, up into an empty
// remote directory, and down again with nothing changed (ours with --if-exists newer, lftp by its
// default comparison). The programs take turns going first in alternate rounds; every copy is
// compared byte for byte with the source. Reported: each run, then the medians per scenario.
// Usage: mirror_bench [rounds]   (default 3)
#include "ftp_users.h"
#include "measured_run.h"
#include "owned_files.h"
#include "small_tree.h"
#include "temp_dir.h"
#include "vsftpd_server.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace brisk::test;
using namespace bench;
namespace fs = std::filesystem;

namespace {

// One program's three scenarios: the argument lists and where each copy lands.
struct Program {
    const char* name;
    std::vector<std::string> down, again, up;
    fs::path downCopy, upCopy;
};

const char* const kScenarios[] = {"down", "again", "up"};

struct Results {
    std::vector<Run> runs[3];
    bool intact = true;
};

void report(const char* scenario, const char* program, const Run& run, bool intact)
{
    std::printf("%-6s %-14s wall %6.3f s  client CPU %6.3f s  server CPU %6.3f s  exit %d%s\n", scenario, program,
                run.seconds, run.cpuSeconds, run.serverCpuSeconds, run.status, intact ? "" : "  COPY DIFFERS");
}

// Down into an empty directory, down again with nothing changed, up into an empty directory; each copy
// checked, the copies removed and the empty targets made again afterwards.
void runProgram(const Program& p, const fs::path& source, Results& results)
{
    const std::vector<std::string>* argvs[] = {&p.down, &p.again, &p.up};
    const fs::path copies[] = {p.downCopy, p.downCopy, p.upCopy};
    for (int s = 0; s < 3; ++s) {
        const Run run = measure(*argvs[s]);
        const bool intact = run.status == 0 && sameTree(source, copies[s]);
        report(kScenarios[s], p.name, run, intact);
        results.runs[s].push_back(run);
        results.intact = results.intact && intact;
    }
}

void resetTargets(const Program& p)
{
    fs::remove_all(p.downCopy);
    fs::remove_all(p.upCopy);
    fs::create_directories(p.downCopy);
    makeDirOwnedBy(p.upCopy, kFtpUser);
}

std::vector<std::string> lftp(const std::string& login, const std::string& port, const std::string& mirror)
{
    const std::string script = lftpScript("set net:connection-limit 1; set cmd:parallel 1; "
                                          "set mirror:parallel-transfer-count 1; set mirror:parallel-directories no; " +
                                          mirror);
    return {"lftp", "-u", login, "-p", port, "-e", script, "127.0.0.1"};
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);   // our lines in order with the clients' summaries on stderr
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    if (auto why = VsftpdServer::unavailableReason()) {
        std::fprintf(stderr, "mirror_bench: %s\n", why->c_str());
        return 1;
    }
    VsftpdServer server;
    TempDir work(0755);
    const fs::path source = work.path() / "src" / "tree";
    makeTree(source);
    const fs::path data = server.dataDir();
    fs::copy(source, data / "tree", fs::copy_options::recursive);
    const std::string port = std::to_string(server.port());
    const std::string url = "ftp://" + std::string(kFtpUser) + ":" + kFtpPassword + "@127.0.0.1:" + port;
    const std::string login = std::string(kFtpUser) + "," + kFtpPassword;

    const fs::path oursDown = work.path() / "ours-down";
    const auto ours = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {BRISKLANE_CLI_PATH, url, "mirror", "--subdirs"});
        return args;
    };
    const Program brisk{"brisklane-cli",
                        ours({"--direction", "local", oursDown.string(), "tree"}),
                        ours({"--direction", "local", "--if-exists", "newer", oursDown.string(), "tree"}),
                        ours({"--direction", "remote", source.string(), "up-ours"}),
                        oursDown,
                        data / "up-ours"};
    const fs::path lftpDown = work.path() / "lftp-down";
    const Program other{"lftp",
                        lftp(login, port, "mirror tree " + lftpDown.string()),
                        lftp(login, port, "mirror tree " + lftpDown.string()),
                        lftp(login, port, "mirror -R " + source.string() + " up-lftp"),
                        lftpDown,
                        data / "up-lftp"};

    std::printf("tree: %d directories x %d files x %zu bytes, passive, binary, vsftpd on 127.0.0.1\n", kDirs,
                kFilesPerDir, kFileSize);
    Results oursResults, lftpResults;
    for (int round = 0; round < rounds; ++round) {
        const bool oursFirst = round % 2 == 0;
        for (int turn = 0; turn < 2; ++turn) {
            const bool isOurs = (turn == 0) == oursFirst;
            const Program& p = isOurs ? brisk : other;
            resetTargets(p);
            runProgram(p, source, isOurs ? oursResults : lftpResults);
        }
    }
    std::printf("median of %d rounds (wall time):\n", rounds);
    for (int s = 0; s < 3; ++s)
        std::printf("%-6s brisklane-cli %6.3f s   lftp %6.3f s\n", kScenarios[s], median(oursResults.runs[s]).seconds,
                    median(lftpResults.runs[s]).seconds);
    std::printf("brisklane-cli copies identical to the source: %s\n", oursResults.intact ? "yes" : "NO");
    return oursResults.intact ? 0 : 1;
}
