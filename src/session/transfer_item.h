#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace brisk {

// One file of a transfer: where it comes from and where it goes, with the size and time the
// panel or the listing gave for it. An upload target in the start directory is a bare name.
struct TransferFile {
    std::string source;
    std::string target;
    int64_t size = -1;   // -1: not known
    int64_t time = 0;    // seconds since the epoch; 0: not known, the written file keeps its own
    bool exactTime = false; // `time` is known to the second (MLSD): the server need not be asked
    // Passed the overwrite check already (handed back by the other connections), resumed or not.
    bool checked = false;
    bool resume = false;
};

// One directory still to be visited: its files are queued when it is listed.
struct TransferDir {
    std::string source;
    std::string target;
};

// What a transfer did, for its closing lines: the counts, and what failed by name (a directory
// stands for everything below it).
struct TransferTally {
    int transferred = 0;
    int skipped = 0;
    int failed = 0;
    int queued = 0;   // left to the transfer queue
    std::vector<std::string> failedNames;

    void fail(const std::string& name, int count = 1)
    {
        failed += count;
        failedNames.push_back(name);
    }
};

} // namespace brisk
