#include "mirror/mirror_run_planning.h"

#include "mirror/mirror_local_side.h"
#include "mirror/mirror_planner.h"

namespace brisk {

bool PlanCurrentDirectory(TMirrorRun& run, const TRecMirror& task, const MirrorListing& listing, bool append,
                          std::vector<MirrorRefusal>& refused, int& next)
{
    run.FollowRemoteDir(listing.hostDirName);
    MirrorIntake intake = TakeMirrorEntries(listing.entries, ReadMirrorLocal(run.LocalPath()));
    refused = std::move(intake.refused);
    const MirrorDirectoryInput input{std::move(intake.remote), std::move(intake.local), listing.today};
    run.Items.Place(PlanDirectory(task, input), append, run.Current);
    return run.FindNext(next);
}

bool PlanCurrentRemoval(TMirrorRun& run, const TRecMirror& task, const MirrorListing& listing,
                        std::vector<MirrorRefusal>& refused, int& next)
{
    run.FollowRemoteDir(listing.hostDirName);
    MirrorIntake intake = TakeMirrorEntries(listing.entries, {});
    refused = std::move(intake.refused);
    run.Items.Place(PlanRemoteRemoval(task, intake.remote), false, run.Current);
    return run.FindNext(next);
}

} // namespace brisk
