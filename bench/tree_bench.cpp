// Download and upload of one tree (20 directories of 100 files of 4 KiB under one top directory) by
// brisklane-cli (get -r / put -r) and by lftp (mirror / mirror -R), against one local vsftpd, both on
// one connection with one transfer at a time. Rounds alternate between the programs; each run's copy is
// compared byte for byte with the source and removed. Reported: each round, then the medians of wall
// time and client CPU time (user + system), and the commands each client sent (from vsftpd's protocol
// log, first round) per file and per directory. lftp also runs without the per-file work brisklane-cli
// does not do ("lean": no MDTM on get, no SITE CHMOD on put).
// Usage: tree_bench [rounds]   (default 5)
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
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace brisk::test;
using namespace bench;
namespace fs = std::filesystem;

namespace {

// The verbs of the commands in a piece of vsftpd's protocol log, counted, and the sessions opened.
struct Commands {
    std::map<std::string, int> verbs;
    int sessions = 0;

    int count(std::initializer_list<const char*> names) const
    {
        int n = 0;
        for (const char* name : names)
            n += verbs.count(name) ? verbs.at(name) : 0;
        return n;
    }
};

Commands commandsIn(const std::string& log)
{
    Commands c;
    const std::string marker = "FTP command: Client \"127.0.0.1\", \"";
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("CONNECT: Client") != std::string::npos)
            ++c.sessions;
        const size_t m = line.find(marker);
        if (m != std::string::npos) {
            const std::string command = line.substr(m + marker.size());
            ++c.verbs[command.substr(0, command.find_first_of(" \""))];
        }
    }
    return c;
}

// Per directory: changing into it, making it, listing it (with the listing's data connection) and the
// TYPE switches, which both clients make around listings. Per file: its transfer with its data
// connection and what else is asked or set about it. The rest is the login.
void reportCommands(const char* direction, const char* program, const Commands& c)
{
    const int listings = c.count({"LIST", "NLST", "MLSD"});
    const int dataSetups = c.count({"PASV", "EPSV", "PORT", "EPRT"});
    const int perDir =
        c.count({"CWD", "CDUP", "PWD", "MKD", "XMKD", "TYPE"}) + listings + std::min(listings, dataSetups);
    const int perFile = c.count({"RETR", "STOR", "REST", "SIZE", "MDTM", "MFMT", "SITE", "ALLO"}) +
                        (dataSetups - std::min(listings, dataSetups));
    int total = 0;
    std::string all;
    for (const auto& [verb, n] : c.verbs) {
        total += n;
        all += " " + verb + "=" + std::to_string(n);
    }
    std::printf("%-4s %-14s %5d commands, %d session(s): per file %.2f, per directory %.2f, login and end %d\n"
                "                   %s\n",
                direction, program, total, c.sessions, double(perFile) / (kDirs * kFilesPerDir),
                double(perDir) / (kDirs + 1), total - perFile - perDir, all.c_str());
}

void report(const char* direction, const char* program, const Run& run, bool intact)
{
    std::printf("%-4s %-14s wall %6.3f s  client CPU %6.3f s  server CPU %6.3f s  exit %d%s\n", direction, program,
                run.seconds, run.cpuSeconds, run.serverCpuSeconds, run.status, intact ? "" : "  COPY DIFFERS");
}

std::string lftpMirror(const std::string& mirror)
{
    return lftpScript("set net:connection-limit 1; set cmd:parallel 1; set mirror:parallel-transfer-count 1; "
                      "set mirror:parallel-directories no; " + mirror);
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    if (auto why = VsftpdServer::unavailableReason()) {
        std::fprintf(stderr, "tree_bench: %s\n", why->c_str());
        return 1;
    }
    VsftpdServer server;
    TempDir work(0755);
    const fs::path source = work.path() / "src" / "tree";
    makeTree(source);
    fs::copy(source, server.dataDir() / "tree", fs::copy_options::recursive);
    const fs::path data = server.dataDir();
    makeDirOwnedBy(data / "up-ours", kFtpUser);
    makeDirOwnedBy(data / "up-lftp", kFtpUser);
    const std::string port = std::to_string(server.port());
    const std::string base = "ftp://" + std::string(kFtpUser) + ":" + kFtpPassword + "@127.0.0.1:" + port;
    const std::string login = std::string(kFtpUser) + "," + kFtpPassword;
    const fs::path oursGet = work.path() / "ours-get";
    const fs::path lftpGet = work.path() / "lftp-get";

    const auto lftp = [&](const std::string& commands) {
        return std::vector<std::string>{"lftp", "-u", login, "-p", port, "-e", lftpMirror(commands), "127.0.0.1"};
    };
    const std::string downLftp = "mirror tree " + (lftpGet / "tree").string();
    const std::vector<Case> cases = {
        {"get", "brisklane-cli", {BRISKLANE_CLI_PATH, base, "get", "-r", "tree", oursGet.string()}, oursGet / "tree"},
        {"get", "lftp", lftp(downLftp), lftpGet / "tree"},
        {"put", "brisklane-cli", {BRISKLANE_CLI_PATH, base, "put", "-r", source.string(), "up-ours"},
         data / "up-ours" / "tree"},
        {"put", "lftp", lftp("mirror -R " + source.string() + " up-lftp/tree"), data / "up-lftp" / "tree"},
        // lftp without the per-file work ours does not do either (MDTM on get, SITE CHMOD on put).
        {"get", "lftp lean", lftp("set ftp:use-mdtm off; " + downLftp), lftpGet / "tree"},
        {"put", "lftp lean", lftp("mirror -R --no-perms " + source.string() + " up-lftp/tree"),
         data / "up-lftp" / "tree"},
    };

    std::printf("tree: %d directories x %d files x %zu bytes, passive, binary, vsftpd on 127.0.0.1\n", kDirs,
                kFilesPerDir, kFileSize);
    bool oursIntact = true;
    std::vector<std::vector<Run>> runs(cases.size());
    std::vector<Commands> commands(cases.size());
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < cases.size(); ++i) {
            const Case& c = cases[i];
            fs::create_directories(oursGet);
            fs::create_directories(lftpGet);
            const size_t logBefore = server.logContents().size();
            const Run run = measure(c.argv);
            if (round == 0)
                commands[i] = commandsIn(server.logContents().substr(logBefore));
            const bool intact = run.status == 0 && sameTree(source, c.copy);
            report(c.direction, c.program, run, intact);
            if (std::string(c.program) == "brisklane-cli")
                oursIntact = oursIntact && intact;
            runs[i].push_back(run);
            fs::remove_all(c.copy);
        }
    }
    std::printf("median of %d rounds:\n", rounds);
    for (size_t i = 0; i < cases.size(); ++i)
        report(cases[i].direction, cases[i].program, median(runs[i]), true);
    std::printf("commands sent (first round; %d files, %d directories):\n", kDirs * kFilesPerDir, kDirs + 1);
    for (size_t i = 0; i < cases.size(); ++i)
        reportCommands(cases[i].direction, cases[i].program, commands[i]);
    std::printf("brisklane-cli copies identical to the source: %s\n", oursIntact ? "yes" : "NO");
    return oursIntact ? 0 : 1;
}
