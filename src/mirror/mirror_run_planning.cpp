#include "mirror/mirror_run_planning.h"

#include "mirror/mirror_local_side.h"
#include "mirror/mirror_planner.h"

namespace brisk {

bool PlanCurrentDirectory(TMirrorRun& run, const TRecMirror& task, const MirrorListing& listing, bool append,
                          int& next)
{
    run.FollowRemoteDir(listing.hostDirName);
    const MirrorDirectoryInput input{listing.entries, ReadMirrorLocal(run.LocalPath()), listing.today};
    run.Items.Place(PlanDirectory(task, input), append, run.Current);
    return run.FindNext(next);
}

bool PlanCurrentRemoval(TMirrorRun& run, const TRecMirror& task, const MirrorListing& listing, int& next)
{
    run.FollowRemoteDir(listing.hostDirName);
    run.Items.Place(PlanRemoteRemoval(task, listing.entries), false, run.Current);
    return run.FindNext(next);
}

} // namespace brisk
