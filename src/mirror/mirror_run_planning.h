#pragma once
#include "listing/calendar_date.h"
#include "listing/remote_entry.h"
#include "mirror/mirror_intake.h"
#include "mirror/mirror_run.h"
#include "mirror/mirror_stamp.h"
#include "mirror/mirror_task.h"
#include "session/chain_context.h"

#include <string>
#include <vector>

namespace brisk {

// Where the engine stands and what it listed there, for planning one step of a run; `ctx` gives
// the listing's clock and takes the log lines of what planning passed over.
struct MirrorListing {
    const std::vector<RemoteEntry>& entries;
    const std::string& hostDirName;
    CalendarDate today;
    const ChainContext& ctx;
};

// The clock of the listing just read: a machine listing's times reach the entries in this
// process's zone; a plain listing shows the site's time zone.
RemoteClock MirrorClockOf(const ChainContext& ctx);

// Plans the directory the engine stands in against its local counterpart: the sub-paths follow
// the remote directory, the plan is appended (the first directory) or inserted at `Current`, before
// the "omDir" being worked on. Names that may not be acted on go to `refused` instead. Returns
// FindNext's answer, the next operation's index in `next`.
// A local directory that cannot be read is a failure, never an empty one: nothing is planned in
// it, its "omDir" is marked failed (the run then leaves it), and the run stops when it is the root.
// One that does not exist is empty, except as the source of an upward run.
bool PlanCurrentDirectory(TMirrorRun& run, const TRecMirror& task, const MirrorListing& listing, bool append,
                          std::vector<MirrorRefusal>& refused, int& next);

// The content of a remote directory under removal, inserted at `Current` before its "omRmdFtp".
bool PlanCurrentRemoval(TMirrorRun& run, const TRecMirror& task, const MirrorListing& listing,
                        std::vector<MirrorRefusal>& refused, int& next);

} // namespace brisk
