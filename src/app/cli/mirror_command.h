#pragma once
#include "cli_session.h"
#include "mirror/mirror_task.h"

#include <iosfwd>

namespace brisk::cli {

// `mirror`: the task's local and remote trees made alike through the window's planner and runner.
// A dry run prints the plan, one state-file line per operation, on `out`; every run ends with its
// summary on `err`. Exit status 2 when an operation failed or the run stopped.
int runMirror(const GlobalOptions& options, const FtpUrl& url, TRecMirror task, bool dryRun, std::ostream& out,
              std::ostream& err);

} // namespace brisk::cli
