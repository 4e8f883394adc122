#pragma once
#include "listing/calendar_date.h"
#include "listing/remote_entry.h"
#include "mirror/mirror_stamp.h"

#include <cstdint>
#include <string>
#include <vector>

namespace brisk {

// One entry of the local directory being planned.
struct MirrorLocalItem {
    std::string name;
    bool isDirectory = false;
    bool isLink = false;
    int64_t size = 0;
    MirrorStamp modified;
};

// Both sides of one directory: the remote listing's records and the local entries, in their own
// order, and the day that dates without a year are read against.
struct MirrorDirectoryInput {
    std::vector<RemoteEntry> remote;
    std::vector<MirrorLocalItem> local;
    CalendarDate today;
};

} // namespace brisk
