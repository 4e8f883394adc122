// A mirror run's bookkeeping without a server (placing each directory's plan, finding the next
// record, marking it, writing the state file's text) for 100,000 operations and more, in two tree
// shapes: 1,000 directories of 97 files, and 33,333 directories of one file each.
// Usage: mirror_bookkeeping_bench [rounds]   (default 5; the best round is reported)
#include "mirror_bookkeeping.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace brisk;

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const struct {
        const char* name;
        test::BookkeepingShape shape;
    } shapes[] = {{"deep", {1000, 97, 0}}, {"wide", {33333, 1, 0}}, {"wide, every 10th unlisted", {33333, 1, 10}}};
    for (const auto& s : shapes) {
        double best = 1e9;
        int operations = 0;
        uint64_t work = 0;
        for (int round = 0; round < rounds; ++round) {
            TMirrorRun run("host", "/local", "/remote");
            std::string text;
            const auto start = std::chrono::steady_clock::now();
            operations = test::RunMirrorBookkeeping(run, s.shape, text);
            best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            work = run.Items.work();
        }
        std::printf("%-26s %7d operations  %8.3f s  %.2f record moves and visits per operation\n", s.name,
                    operations, best, double(work) / operations);
    }
    return 0;
}
