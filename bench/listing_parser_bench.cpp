// Lines per second of the listing parser on generated Unix and IIS listings, at two sizes to
// show that the time grows linearly with the number of lines. Each case runs twice: "cold" pays
// the kernel for fresh output memory (over 200 MB for a million entries), "warm" reuses the memory
// freed by the cold run, as a long-running client does.
#include "listing/listing_parser.h"

#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::vector<std::string> unixListing(size_t count)
{
    std::vector<std::string> lines;
    lines.reserve(count);
    char line[200];
    for (size_t i = 0; i < count; ++i) {
        const bool dir = i % 10 == 0;
        const bool link = i % 50 == 7;
        const char* when = i % 3 == 0 ? " 2019" : "14:05";
        std::snprintf(line, sizeof line, "%s   1 ftpuser  ftpgroup %10zu %s %2zu %s %s%zu%s",
                      dir ? "drwxr-xr-x" : link ? "lrwxrwxrwx" : "-rw-r--r--", i * 37 % 100000000,
                      kMonths[i % 12], i % 28 + 1, when, dir ? "directory_" : "file name ", i,
                      link ? " -> target" : ".txt");
        lines.emplace_back(line);
    }
    return lines;
}

std::vector<std::string> iisListing(size_t count)
{
    std::vector<std::string> lines;
    lines.reserve(count);
    char line[200];
    for (size_t i = 0; i < count; ++i) {
        if (i % 10 == 0)
            std::snprintf(line, sizeof line, "%02zu-%02zu-19  10:20AM       <DIR>          folder %zu", i % 12 + 1,
                          i % 28 + 1, i);
        else
            std::snprintf(line, sizeof line, "%02zu-%02zu-19  03:47PM %20zu file %zu.txt", i % 12 + 1, i % 28 + 1,
                          i * 37 % 100000000, i);
        lines.emplace_back(line);
    }
    return lines;
}

double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

void measureOnce(const char* label, const char* descriptor, const char* memory, const std::vector<std::string>& lines)
{
    const double cpuStart = cpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const brisk::ParsedListing listing = brisk::ParseListing(descriptor, {2026, 12, 5}, lines);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = cpuSeconds() - cpuStart;
    std::printf("%-4s type %-7s %-4s %8zu lines %8zu entries  wall %6.3f s %11.0f lines/s  cpu %6.3f s %11.0f lines/s\n",
                label, descriptor, memory, lines.size(), listing.entries.size(), wall, double(lines.size()) / wall, cpu,
                double(lines.size()) / cpu);
}

void measure(const char* label, const char* descriptor, const std::vector<std::string>& lines)
{
    measureOnce(label, descriptor, "cold", lines);
    measureOnce(label, descriptor, "warm", lines);
}

} // namespace

int main()
{
    // Keep freed memory in the process so that the warm runs reuse it.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, -1);
    for (size_t count : {size_t(100000), size_t(1000000)}) {
        const auto lines = unixListing(count);
        measure("unix", "0957681", lines);
        measure("unix", "7", lines);
    }
    for (size_t count : {size_t(100000), size_t(200000)})
        measure("iis", "6", iisListing(count));
    return 0;
}
