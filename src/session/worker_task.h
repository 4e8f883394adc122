#pragma once
#include <cstdint>
#include <string>

namespace brisk {

// One file for a transfer worker, addressed by absolute paths: the worker's connection has no
// current directory of its own that the session knows.
struct WorkerTask {
    bool upload = false;
    std::string remotePath;  // absolute
    std::string localPath;   // a download's target (its part file is written), an upload's source
    int64_t size = -1;       // the source's size; -1: not known
    int64_t time = 0;        // a download's listed time, 0: not known
    bool exactTime = false;  // `time` is to the second: no MDTM
    bool resume = false;
    bool ascii = false;
    int attempts = 0;        // transfers started for it, on any worker
    // An upload sent under a temporary name takes this one (absolute) once it is complete; empty:
    // none. A refused rename fails the task with `renameFailed` set.
    std::string renameTo;
    uint64_t queueId = 0;    // the transfer queue's item, 0 outside the queue

    // The name the tally and the log give it: the source's path.
    const std::string& source() const { return upload ? localPath : remotePath; }
};

} // namespace brisk
