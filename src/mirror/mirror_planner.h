#pragma once
#include "mirror/mirror_plan_input.h"
#include "mirror/mirror_record.h"
#include "mirror/mirror_task.h"

#include <vector>

namespace brisk {

// The operations that make one directory alike on both sides as the task prescribes, in the order
// uploads, remote deletions, downloads, local deletions, subdirectory steps, directory deletions.
// Subdirectories are entered ("omDir") and left ("omDirUp") but planned only once entered. "Ask"
// plans a transfer like "Overwrite"; the question comes when the transfer is about to start.
// Entries pair by their exact names. A name that is a link left alone on either side is left
// alone on both, and so is a pair whose newer side cannot be told; the plan names those. What a
// followed local link would be needed for (entering it, downloading through it) is planned as
// failed ("smError") and named too.
MirrorPlan PlanDirectory(const TRecMirror& task, const MirrorDirectoryInput& input);

// The deletions that empty a remote directory being removed: "omDelFtp" for each file, then
// "omRmdFtp" for each subdirectory. A link is deleted itself, never emptied. Excluded entries stay,
// and so do links when links are ignored.
std::vector<TMirrorRec> PlanRemoteRemoval(const TRecMirror& task, const std::vector<RemoteEntry>& remote);

} // namespace brisk
