// Download and upload throughput of brisklane-cli against curl, on one local vsftpd, same file, same run.
// Usage: transfer_bench [MiB]   (default 256)
#include "file_io.h"
#include "ftp_users.h"
#include "temp_dir.h"
#include "vsftpd_server.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace brisk::test;
namespace fs = std::filesystem;

namespace {

struct Run {
    double seconds = 0;
    long peakRssKiB = 0;
    int status = -1;
};

// Runs a command and measures its wall time and peak resident memory.
Run measure(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    Run run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakRssKiB = usage.ru_maxrss;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

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

void report(const char* what, const Run& ours, const Run& curl, double mib)
{
    const double oursRate = mib / ours.seconds, curlRate = mib / curl.seconds;
    std::printf("%-8s brisklane-cli %8.1f MiB/s (peak RSS %6.1f MiB, exit %d) | curl %8.1f MiB/s (peak RSS %6.1f MiB, exit %d) | ratio %.2f\n",
                what, oursRate, double(ours.peakRssKiB) / 1024, ours.status, curlRate, double(curl.peakRssKiB) / 1024,
                curl.status, oursRate / curlRate);
}

bool sameFile(const fs::path& a, const fs::path& b)
{
    return fs::file_size(a) == fs::file_size(b) && readFileBytes(a) == readFileBytes(b);
}

} // namespace

int main(int argc, char** argv)
{
    const size_t mib = argc > 1 ? size_t(std::atoi(argv[1])) : 256;
    if (auto why = VsftpdServer::unavailableReason()) {
        std::fprintf(stderr, "transfer_bench: %s\n", why->c_str());
        return 1;
    }
    VsftpdServer server;
    TempDir work;
    const fs::path source = work.path() / "source.bin";
    writeRandomFile(source, mib);
    server.writeDataFile("big.bin", readFileBytes(source));
    const std::string base = "ftp://" + std::string(kFtpUser) + ":" + kFtpPassword + "@127.0.0.1:" + std::to_string(server.port());

    const Run ourGet = measure({BRISKLANE_CLI_PATH, base, "get", "big.bin", (work.path() / "ours.bin").string()});
    const Run curlGet = measure({"curl", "-s", "--disable-epsv", "-o", (work.path() / "curl.bin").string(), base + "/big.bin"});
    const Run ourPut = measure({BRISKLANE_CLI_PATH, base, "put", source.string(), "ours-up.bin"});
    const Run curlPut = measure({"curl", "-s", "--disable-epsv", "-T", source.string(), base + "/curl-up.bin"});

    std::printf("file: %zu MiB, passive, binary, vsftpd on 127.0.0.1\n", mib);
    report("get", ourGet, curlGet, double(mib));
    report("put", ourPut, curlPut, double(mib));
    const bool intact = sameFile(source, work.path() / "ours.bin") && sameFile(source, server.dataDir() / "ours-up.bin");
    std::printf("brisklane-cli copies identical to the source: %s\n", intact ? "yes" : "NO");
    return intact ? 0 : 1;
}
