// Download and upload of one file by brisklane-cli, curl and lftp against one local vsftpd, same file, same
// run. For each program and direction: throughput, the client's CPU time (user + system), its peak
// resident memory, and the CPU time the server's session processes spent on the transfer. The machine's
// own limit is measured in the same rounds: one plain TCP stream over loopback from the server's file
// (sendfile) into a file (recv, write), and each download's throughput is given as a share of it.
// Every case runs several rounds, in turn with the others, each after a sync, so that no program is the
// one that always meets the other's dirty pages; each round's line is printed, then every case's median.
// Usage: transfer_bench [MiB] [rounds]   (default 1024 MiB, 3 rounds)
#include "bench_files.h"
#include "ftp_users.h"
#include "measured_run.h"
#include "stream_baseline.h"
#include "temp_dir.h"
#include "vsftpd_server.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace brisk::test;
using namespace bench;
namespace fs = std::filesystem;

namespace {

// Each download's throughput as a share of the plain stream's (cases[0]).
void reportShares(const std::vector<Case>& cases, const std::vector<Run>& medians)
{
    std::printf("downloads against the plain stream (throughput ratio):\n");
    for (size_t i = 1; i < cases.size(); ++i)
        if (std::string(cases[i].direction) == "get")
            std::printf("  %-14s / stream %5.2f%s\n", cases[i].program, medians[0].seconds / medians[i].seconds,
                        isOurs(cases[i]) ? "   (goal >= 0.9)" : "");
}

} // namespace

int main(int argc, char** argv)
{
    const size_t mib = argc > 1 ? size_t(std::atoi(argv[1])) : 1024;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    if (auto why = VsftpdServer::unavailableReason()) {
        std::fprintf(stderr, "transfer_bench: %s\n", why->c_str());
        return 1;
    }
    VsftpdServer server;
    TempDir work;
    const fs::path source = work.path() / "source.bin";
    writeRandomFile(source, mib);
    offerForDownload(source, server.dataDir() / "big.bin");
    const std::string port = std::to_string(server.port());
    const std::string base = "ftp://" + std::string(kFtpUser) + ":" + kFtpPassword + "@127.0.0.1:" + port;
    const std::string login = std::string(kFtpUser) + "," + kFtpPassword;
    const fs::path data = server.dataDir();
    const double bytes = double(mib) * 1024 * 1024;

    const fs::path streamCopy = work.path() / "stream.bin";
    const std::vector<Case> cases = {
        {"get", "stream", {}, streamCopy, [&] { return measureStream(data / "big.bin", streamCopy); }},
        {"get", "brisklane-cli", {BRISKLANE_CLI_PATH, base, "get", "big.bin", (work.path() / "ours.bin").string()}, work.path() / "ours.bin"},
        {"get", "curl", {"curl", "-s", "--disable-epsv", "-o", (work.path() / "curl.bin").string(), base + "/big.bin"}, work.path() / "curl.bin"},
        {"get", "lftp", {"lftp", "-u", login, "-p", port, "-e", lftpScript("get big.bin -o " + (work.path() / "lftp.bin").string()), "127.0.0.1"}, work.path() / "lftp.bin"},
        {"put", "brisklane-cli", {BRISKLANE_CLI_PATH, base, "put", source.string(), "ours-up.bin"}, data / "ours-up.bin"},
        {"put", "curl", {"curl", "-s", "--disable-epsv", "-T", source.string(), base + "/curl-up.bin"}, data / "curl-up.bin"},
        {"put", "lftp", {"lftp", "-u", login, "-p", port, "-e", lftpScript("put " + source.string() + " -o lftp-up.bin"), "127.0.0.1"}, data / "lftp-up.bin"},
    };

    std::printf("file: %zu MiB, passive, binary, vsftpd on 127.0.0.1 (MB = 10^6 bytes)\n", mib);
    const Rounds result = runRounds(cases, rounds, source, bytes);
    reportShares(cases, result.medians);
    const bool oursIntact = result.oursIntact;
    std::printf("brisklane-cli copies identical to the source: %s\n", oursIntact ? "yes" : "NO");
    return oursIntact ? 0 : 1;
}
