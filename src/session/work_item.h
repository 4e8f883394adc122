#pragma once
#include <cstdint>
#include <string>

namespace brisk {

// One entry of a chain's work list: a remote or local path (or a bare name inside the current
// directory), with the size and time the listing or the panel gave for it.
struct WorkItem {
    std::string path;
    int64_t size = -1;   // -1: not known
    int64_t time = 0;    // seconds since the epoch; 0: not known
};

} // namespace brisk
