// Download and upload of one file by brisklane-cli, curl and lftp against one local vsftpd, same file, same
// run. For each program and direction: throughput, the client's CPU time (user + system), its peak
// resident memory, and the CPU time the server's session processes spent on the transfer.
// Every case runs several rounds, in turn with the others, each after a sync, so that no program is the
// one that always meets the other's dirty pages; each round's line is printed, then every case's median.
// Usage: transfer_bench [MiB] [rounds]   (default 1024 MiB, 3 rounds)
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

namespace {

void writeRandomFile(const fs::path& path, size_t mib)
{
    std::ofstream out(path, std::ios::binary);
    std::string block(1 << 20, '\0');
    unsigned x = 12345;
    for (size_t i = 0; i < mib; ++i) {
        for (char& c : block)
            c = char((x = x * 1103515245 + 12345) >> 16);
        out.write(block.data(), std::streamsize(block.size()));
    }
}

bool sameFile(const fs::path& a, const fs::path& b)
{
    std::error_code ec;
    if (!fs::exists(b, ec) || fs::file_size(a) != fs::file_size(b))
        return false;
    std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
    std::vector<char> p(1 << 20), q(1 << 20);
    while (x && y) {
        x.read(p.data(), std::streamsize(p.size()));
        y.read(q.data(), std::streamsize(q.size()));
        if (x.gcount() != y.gcount() || std::char_traits<char>::compare(p.data(), q.data(), size_t(x.gcount())) != 0)
            return false;
    }
    return true;
}

void report(const char* direction, const char* program, const Run& run, double bytes, bool intact)
{
    std::printf("%-4s %-14s %8.1f MB/s  client CPU %6.2f s  peak RSS %6.1f MiB  server CPU %6.2f s  exit %d%s\n",
                direction, program, bytes / 1e6 / run.seconds, run.cpuSeconds, double(run.peakRssKiB) / 1024,
                run.serverCpuSeconds, run.status, intact ? "" : "  COPY DIFFERS");
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
    fs::copy_file(source, server.dataDir() / "big.bin"); // read-only for the FTP user is all a download needs
    fs::permissions(server.dataDir() / "big.bin", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
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
    bool oursIntact = true;
    std::vector<std::vector<Run>> runs(cases.size());
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < cases.size(); ++i) {
            const Case& c = cases[i];
            const Run run = measure(c.argv);
            const bool intact = run.status == 0 && sameFile(source, c.copy);
            report(c.direction, c.program, run, bytes, intact);
            if (std::string(c.program) == "brisklane-cli")
                oursIntact = oursIntact && intact;
            runs[i].push_back(run);
            std::error_code ec;
            fs::remove(c.copy, ec);
        }
    }
    std::printf("median of %d rounds:\n", rounds);
    for (size_t i = 0; i < cases.size(); ++i)
        report(cases[i].direction, cases[i].program, median(runs[i]), bytes, true);
    std::printf("brisklane-cli copies identical to the source: %s\n", oursIntact ? "yes" : "NO");
    return oursIntact ? 0 : 1;
}
