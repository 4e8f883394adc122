#include "mirror/mirror_run_planning.h"

#include "mirror/mirror_local_side.h"
#include "mirror/mirror_planner.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace brisk {

namespace {

MainExtraMessage reasonOf(MirrorPassOver why)
{
    switch (why) {
    case MirrorPassOver::LinkNotFollowed: return xmsgLinkToDirectory;
    case MirrorPassOver::TargetIsLink: return xmsgTargetIsLink;
    case MirrorPassOver::UnreadableDate: break;
    }
    return xmsgUnreadableDate;
}

// A name below the roots (or the directory being planned, for none) as the run's failure list shows it.
std::string belowRoot(const TMirrorRun& run, const std::string& name)
{
    std::string sub = run.LocalSub;
    if (!sub.empty() && sub.front() == '/')
        sub.erase(0, 1);
    if (name.empty() && !sub.empty() && sub.back() == '/')
        sub.pop_back();
    const std::string path = sub + PrintableName(name);
    return path.empty() ? PrintableName(run.LocalRoot) : path;
}

// Every note is logged; what the planner refused to do for a link is a failure of that name, while a
// pair without a readable date is only passed over.
void logNotes(TMirrorRun& run, const std::vector<MirrorNote>& notes, const ChainContext& ctx)
{
    for (const MirrorNote& note : notes) {
        const bool remote = note.why == MirrorPassOver::UnreadableDate;
        ctx.log(SkippedText(ctx.msl, note.name, remote ? run.RemotePath() : run.LocalPath(), reasonOf(note.why)));
        if (!remote)
            run.Failed.push_back(belowRoot(run, note.name) + ": " + ctx.msl[reasonOf(note.why)]);
    }
}

// Logged with the system's reason; the "omDir" being planned fails, or the whole run at its root.
void failDirectory(TMirrorRun& run, int error, bool root, const ChainContext& ctx)
{
    ctx.log(FormatMessage(ctx.msl[xmsgSkippedName],
                          {run.LocalPath(), ctx.msl[xmsgLocalDirUnreadable] + " (" + std::strerror(error) + ")"}));
    run.Failed.push_back(belowRoot(run, "") + ": " + ctx.msl[xmsgLocalDirUnreadable]);
    TMirrorRec entered;
    if (root)
        run.Stop();
    else if (run.Items.GetItem(run.Current, entered) && entered.Operation == omDir) {
        entered.State = smError;
        run.Items.PutItem(run.Current, entered);
    }
}

// A listing line that could not be read may stand for any local name: none of them is proven
// missing on the server, so nothing local is deleted in this directory.
void keepLocalWhenUnproven(std::vector<TMirrorRec>& records, const std::vector<MirrorRefusal>& refused)
{
    const bool unproven = std::any_of(refused.begin(), refused.end(), [](const MirrorRefusal& r) {
        return r.remote && r.why == xmsgUnreadableLine;
    });
    if (unproven)
        std::erase_if(records, [](const TMirrorRec& r) { return r.Operation == omDelLoc || r.Operation == omRmdLoc; });
}

} // namespace

RemoteClock MirrorClockOf(const ChainContext& ctx)
{
    return {ctx.conn.engine().ListingIsMlsd(), ctx.site.TimeZone};
}

bool PlanCurrentDirectory(TMirrorRun& run, const TRecMirror& task, const MirrorListing& listing, bool append,
                          std::vector<MirrorRefusal>& refused, int& next)
{
    run.FollowRemoteDir(listing.hostDirName);
    MirrorLocalDir dir(run.LocalRoot, run.LocalSub);
    std::optional<std::vector<MirrorLocalItem>> local = dir.read();
    if (!local && (dir.error() != ENOENT || task.Direction == 0)) {
        failDirectory(run, dir.error(), append, listing.ctx);
        return run.FindNext(next);
    }
    MirrorIntake intake = TakeMirrorEntries(listing.entries, local.value_or(std::vector<MirrorLocalItem>{}));
    refused = std::move(intake.refused);
    const MirrorDirectoryInput input{std::move(intake.remote), std::move(intake.local), listing.today,
                                     MirrorClockOf(listing.ctx)};
    MirrorPlan plan = PlanDirectory(task, input);
    keepLocalWhenUnproven(plan.records, refused);
    logNotes(run, plan.notes, listing.ctx);
    run.Items.Place(plan.records, append, run.Current);
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
