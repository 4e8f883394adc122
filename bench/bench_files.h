#pragma once
// What the transfer benchmarks share: the test file, the check of each copy and the rounds of runs.
#include "measured_run.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace bench {

inline void writeRandomFile(const std::filesystem::path& path, size_t mib)
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

// A copy of `source` as `target` for a server to send: read-only for its FTP user is all a download needs.
inline void offerForDownload(const std::filesystem::path& source, const std::filesystem::path& target)
{
    namespace fs = std::filesystem;
    fs::copy_file(source, target);
    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

inline bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code ec;
    if (!std::filesystem::exists(b, ec) || std::filesystem::file_size(a) != std::filesystem::file_size(b))
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

inline void report(const char* direction, const char* program, const Run& run, double bytes, bool intact)
{
    std::printf("%-4s %-14s %8.1f MB/s  client CPU %6.2f s  peak RSS %6.1f MiB  server CPU %6.2f s  exit %d%s\n",
                direction, program, bytes / 1e6 / run.seconds, run.cpuSeconds, double(run.peakRssKiB) / 1024,
                run.serverCpuSeconds, run.status, intact ? "" : "  COPY DIFFERS");
}

struct Rounds {
    std::vector<Run> medians; // one per case
    bool oursIntact = true;   // brisklane-cli's copies were all identical to the source
};

// Runs every case `rounds` times, in turn with the others, removing each copy after comparing it with
// the source; prints each run's line, then every case's median.
inline Rounds runRounds(const std::vector<Case>& cases, int rounds, const std::filesystem::path& source, double bytes)
{
    bool oursIntact = true;
    std::vector<std::vector<Run>> runs(cases.size());
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < cases.size(); ++i) {
            const Case& c = cases[i];
            const Run run = measure(c);
            const bool intact = run.status == 0 && sameFile(source, c.copy);
            report(c.direction, c.program, run, bytes, intact);
            if (isOurs(c))
                oursIntact = oursIntact && intact;
            runs[i].push_back(run);
            std::error_code ec;
            std::filesystem::remove(c.copy, ec);
        }
    }
    Rounds result{{}, oursIntact};
    std::printf("median of %d rounds:\n", rounds);
    for (size_t i = 0; i < cases.size(); ++i) {
        result.medians.push_back(median(runs[i]));
        report(cases[i].direction, cases[i].program, result.medians.back(), bytes, true);
    }
    return result;
}

} // namespace bench
