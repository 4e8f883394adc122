#pragma once
#include "cli_session.h"
#include "mirror/mirror_record.h"
#include "mirror/mirror_task.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace brisk::cli {

// What a mirror run did, counted from its operation list.
struct MirrorTally {
    int transferred = 0;
    int deleted = 0;
    int skipped = 0;   // transfers and deletions planned but not carried out
    int failed = 0;
    int64_t bytes = 0;
};

// In a dry run nothing planned is carried out, so every transfer and deletion counts as skipped.
MirrorTally TallyMirror(const std::vector<TMirrorRec>& items, bool dryRun);

// `mirror`: the task's local and remote trees made alike through the window's planner and runner.
// A dry run prints the plan, one state-file line per operation, on `out`; every run ends with its
// summary on `err`. Exit status 2 when an operation failed or the run stopped.
int runMirror(const GlobalOptions& options, const FtpUrl& url, TRecMirror task, bool dryRun, std::ostream& out,
              std::ostream& err);

} // namespace brisk::cli
