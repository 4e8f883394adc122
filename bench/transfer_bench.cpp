// Download and upload of one file by brisklane-cli, curl and lftp against one local vsftpd, same file, same
// run. For each program and direction: throughput, the client's CPU time (user + system), its peak
// resident memory, and the CPU time the server's session processes spent on the transfer.
// Every case runs several rounds, in turn with the others, each after a sync, so that no program is the
// one that always meets the other's dirty pages; each round's line is printed, then every case's median.
// Usage: transfer_bench [MiB] [rounds]   (default 1024 MiB, 3 rounds)
#include "bench_files.h"
#include "ftp_users.h"
#include "measured_run.h"
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

    const std::vector<Case> cases = {
        {"get", "brisklane-cli", {BRISKLANE_CLI_PATH, base, "get", "big.bin", (work.path() / "ours.bin").string()}, work.path() / "ours.bin"},
        {"get", "curl", {"curl", "-s", "--disable-epsv", "-o", (work.path() / "curl.bin").string(), base + "/big.bin"}, work.path() / "curl.bin"},
        {"get", "lftp", {"lftp", "-u", login, "-p", port, "-e", lftpScript("get big.bin -o " + (work.path() / "lftp.bin").string()), "127.0.0.1"}, work.path() / "lftp.bin"},
        {"put", "brisklane-cli", {BRISKLANE_CLI_PATH, base, "put", source.string(), "ours-up.bin"}, data / "ours-up.bin"},
        {"put", "curl", {"curl", "-s", "--disable-epsv", "-T", source.string(), base + "/curl-up.bin"}, data / "curl-up.bin"},
        {"put", "lftp", {"lftp", "-u", login, "-p", port, "-e", lftpScript("put " + source.string() + " -o lftp-up.bin"), "127.0.0.1"}, data / "lftp-up.bin"},
    };

    std::printf("file: %zu MiB, passive, binary, vsftpd on 127.0.0.1 (MB = 10^6 bytes)\n", mib);
    const bool oursIntact = runRounds(cases, rounds, source, bytes);
    std::printf("brisklane-cli copies identical to the source: %s\n", oursIntact ? "yes" : "NO");
    return oursIntact ? 0 : 1;
}
