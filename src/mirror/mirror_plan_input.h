#pragma once
#include "listing/calendar_date.h"
#include "listing/remote_entry.h"
#include "mirror/mirror_record.h"
#include "mirror/mirror_stamp.h"

#include <cstdint>
#include <string>
#include <vector>

namespace brisk {

// One entry of the local directory being planned. A symbolic link is marked as one and says
// whether it points to a directory.
struct MirrorLocalItem {
    std::string name;
    bool isDirectory = false;
    bool isLink = false;
    int64_t size = 0;
    MirrorStamp modified;
};

// Both sides of one directory: the remote listing's records and the local entries, in their own
// order, the day that dates without a year are read against, and the clock of the listing's times.
struct MirrorDirectoryInput {
    std::vector<RemoteEntry> remote;
    std::vector<MirrorLocalItem> local;
    CalendarDate today;
    RemoteClock clock;
};

// Why the planner left a name alone that it would otherwise have acted on.
enum class MirrorPassOver : uint8_t {
    LinkNotFollowed,   // a local link to a directory is never entered
    TargetIsLink,      // a download would write through a local link
    UnreadableDate,    // "only newest" cannot tell which side is newer
};

struct MirrorNote {
    std::string name;
    MirrorPassOver why;

    bool operator==(const MirrorNote&) const = default;
};

// One directory's operations, and the names passed over on the way.
struct MirrorPlan {
    std::vector<TMirrorRec> records;
    std::vector<MirrorNote> notes;
};

} // namespace brisk
