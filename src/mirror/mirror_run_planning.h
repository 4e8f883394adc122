#pragma once
#include "listing/calendar_date.h"
#include "listing/remote_entry.h"
#include "mirror/mirror_intake.h"
#include "mirror/mirror_run.h"
#include "mirror/mirror_task.h"

#include <string>
#include <vector>

namespace brisk {

// Where the engine stands and what it listed there, for planning one step of a run.
struct MirrorListing {
    const std::vector<RemoteEntry>& entries;
    const std::string& hostDirName;
    CalendarDate today;
};

// Plans the directory the engine stands in against its local counterpart: the sub-paths follow
// the remote directory, the plan is appended (the first directory) or inserted at `Current`, before
// the "omDir" being worked on. Names that may not be acted on go to `refused` instead. Returns
// FindNext's answer, the next operation's index in `next`.
bool PlanCurrentDirectory(TMirrorRun& run, const TRecMirror& task, const MirrorListing& listing, bool append,
                          std::vector<MirrorRefusal>& refused, int& next);

// The content of a remote directory under removal, inserted at `Current` before its "omRmdFtp".
bool PlanCurrentRemoval(TMirrorRun& run, const TRecMirror& task, const MirrorListing& listing,
                        std::vector<MirrorRefusal>& refused, int& next);

} // namespace brisk
