#include "mirror/mirror_runner.h"

#include "listing/calendar_date.h"
#include "mirror/mirror_run_planning.h"
#include "session/entry_names.h"
#include "session/remote_paths.h"

#include <vector>

namespace brisk {

namespace {

bool isListing(int kind)
{
    return kind == ftpDirAsync || kind == ftpLsAsync || kind == ftpDirectoryAsync || kind == ftpListAsync;
}

bool isTransfer(TMirrorOperation operation)
{
    return operation == omGet || operation == omPut;
}

} // namespace

MirrorRunner::MirrorRunner(SessionController& session, const TRecMirror& task)
    : session_(session), ctx_(session.mirrorContext()), task_(task)
{
    session_.mirror().onMessage = [this](int param, int value) { MirrorStep(param, value); };
    session_.mirror().onStop = [this] { return stop(); };
}

MirrorRunner::~MirrorRunner()
{
    session_.mirror().onMessage = nullptr;
    session_.mirror().onStop = nullptr;
}

void MirrorRunner::MirrorStep(int param, int value)
{
    if (param == 0)
        return start();
    if (!active_)
        return;
    switch (param) {
    case 1:
        return plan(value);
    case 2:
        return executeNext();
    case 3:
        return succeeded();
    case 4:
        return failed(value);
    case 5:
        return end();
    default:
        return;
    }
}

void MirrorRunner::start()
{
    TFtpClient& ftp = ctx_.ftp;
    if (active_ || !ftp.Connected() || ftp.State() != fsReady)
        return;
    overwriteAll_ = task_.FileExists != 3;
    resumeThis_ = false;
    rmdSent_ = false;
    upByPath_ = false;
    renameRefused_ = false;
    upload_ = UploadStep::None;
    ctx_.setBusy(true);
    ctx_.baseRemoteDir = RemoteDirRule(task_.Remote, ctx_.site.CheckVHost != 0);
    ctx_.baseLocalDir = WithSlash(task_.Local);
    run_ = std::make_unique<TMirrorRun>(ftp.HostName, task_.Local, task_.Remote);
    startWorkers();
    active_ = true;
    ctx_.flags.clear();
    ctx_.flags.set(ofMirrorRun);
    // Listed afresh even where the panel stands: what it shows may be old, or may not have
    // arrived whole.
    if (ftp.HostDirName == task_.Remote)
        return ctx_.refresh();
    ftp.HostDirName = task_.Remote;
    ftp.CwdAsync();
}

// The directory just listed: its differences to the local side, or the content of a remote
// directory under removal. An RMD's completion also comes here; it ends that removal.
void MirrorRunner::plan(int value)
{
    if (value == 0 && rmdSent_) {
        rmdSent_ = false;
        return succeeded();
    }
    if (value == 2)
        removalListed();
    const std::vector<RemoteEntry> entries(ctx_.remote.listingCopy->begin(), ctx_.remote.listingCopy->end());
    const MirrorListing listing{entries, ctx_.ftp.HostDirName, localToday(), ctx_};
    std::vector<MirrorRefusal> refused;
    int next = -1;
    const bool found = value == 2 ? PlanCurrentRemoval(*run_, task_, listing, refused, next)
                                  : PlanCurrentDirectory(*run_, task_, listing, value == 0, refused, next);
    refuse(refused);
    post(found ? 2 : 5);
}

void MirrorRunner::refuse(const std::vector<MirrorRefusal>& refused)
{
    for (const MirrorRefusal& r : refused) {
        ctx_.log(SkippedText(ctx_.msl, r.name, r.remote ? run_->RemotePath() : run_->LocalPath(), r.why));
        if (r.counts)
            run_->Failed.push_back(pathBelowRoot(PrintableName(r.name)) + ": " + ctx_.msl[r.why]);
    }
}

// A remote directory under removal has been entered and listed. Its content is deleted first, then
// the runner leaves it and its own record comes again, now to send RMD.
void MirrorRunner::removalListed()
{
    TMirrorRec removal = current();
    removal.State = smNone;
    removal.Emptied = true;
    put(removal);
    run_->Items.Insert(run_->Current, TMirrorRec{removal.RemoteName, removal.RemoteName, 0, 0, omDirUp, smNone});
}

void MirrorRunner::succeeded()
{
    const TMirrorRec r = current();
    if (r.Operation == omGet && !commitDownload(r))
        return failed(ftpGetAsync);
    if (isTransfer(r.Operation) && upload_ != UploadStep::Rename)
        ctx_.ui.Progress().endFile();
    if (r.Operation == omPut && upload_ == UploadStep::Temporary)
        return renameUpload(r);
    run_->MarkDone();
    run_->FollowRemoteDir(ctx_.ftp.HostDirName);
    upByPath_ = false;
    // Sent again under its own name after a refused rename: the copy under the temporary name goes.
    if (r.Operation == omPut && upload_ == UploadStep::Fallback && tidy(MirrorPartialName(r.RemoteName)))
        return;
    upload_ = UploadStep::None;
    post(2);
}

void MirrorRunner::failed(int kind)
{
    ctx_.setBusy(true);
    // A leftover that could not be deleted: the upload's own outcome stands.
    if (upload_ == UploadStep::Tidy) {
        upload_ = UploadStep::None;
        return post(2);
    }
    const TMirrorRec r = current();
    ctx_.log(ctx_.msl[msgError] + " " + ctx_.ftp.ErrorMessage());
    if (r.Operation == omPut && upload_ == UploadStep::Rename)
        return renameRefused(r);
    if (isTransfer(r.Operation))
        ctx_.ui.Progress().endFile();
    if (isListing(kind) && (r.Operation == omDir || (r.Operation == omRmdFtp && !rmdSent_)))
        return unlisted(r);
    if (r.Operation == omDirUp)
        return leaveFailed(kind);
    const bool enteredNothing = r.Operation == omDir || (r.Operation == omRmdFtp && !rmdSent_);
    run_->MarkFailed();
    noteFailure(r.RemoteName.empty() ? r.LocalName : r.RemoteName, ctx_.ftp.ErrorMessage());
    // Nothing planned yet: the task's remote root could not be entered or listed, so the run has
    // nothing to stand on.
    if (run_->Items.Count() == 0)
        run_->Stop();
    if (enteredNothing)
        resyncRemoteDir();
    rmdSent_ = false;
    if (r.Operation == omPut && tidyFailedUpload(r))
        return;
    upload_ = UploadStep::None;
    post(2);
}

// A directory entered but not listed fails as a whole; the run leaves it again by its "omDirUp".
void MirrorRunner::unlisted(const TMirrorRec& r)
{
    ctx_.log(SkippedText(ctx_.msl, r.RemoteName, run_->RemotePath(), xmsgNotListed));
    run_->MarkUnlisted();
    noteFailure(r.RemoteName, ctx_.msl[xmsgNotListed]);
    post(2);
}

// Leaving a directory failed. Back in the parent with only its listing missing, the run knows where
// it stands (and nothing after this needs that listing); a refused CDUP is tried once more as a
// change to the parent's path; otherwise the run is lost and stops.
void MirrorRunner::leaveFailed(int kind)
{
    if (isListing(kind)) {
        run_->MarkDone();
        run_->FollowRemoteDir(ctx_.ftp.HostDirName);
        upByPath_ = false;
        return post(2);
    }
    if (kind == ftpCDupAsync && !upByPath_) {
        upByPath_ = true;
        return ctx_.ftp.CwdAsync();   // HostDirName holds the parent's path already
    }
    const TMirrorRec r = current();
    run_->MarkFailed();
    noteFailure(r.RemoteName, ctx_.ftp.ErrorMessage());
    post(2);
}

void MirrorRunner::noteFailure(const std::string& name, const std::string& why)
{
    run_->Failed.push_back(pathBelowRoot(PrintableName(name)) + ": " + why);
}

std::string MirrorRunner::pathBelowRoot(const std::string& name) const
{
    std::string sub = run_->RemoteSub;
    if (!sub.empty() && sub.front() == '/')
        sub.erase(0, 1);
    if (!name.empty())
        return sub + name;
    if (!sub.empty())
        sub.pop_back();
    return sub.empty() ? task_.Remote : sub;
}

void MirrorRunner::resyncRemoteDir()
{
    std::string dir = run_->RemotePath();
    if (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    ctx_.ftp.HostDirName = dir;
}

// Once the workers are done: the state file, then back to the task's remote root in ASCII; the
// panels show the result.
void MirrorRunner::end()
{
    if (workersBusy()) {
        awaitingWorkers_ = true;
        return;
    }
    stopWorkers();
    active_ = false;
    rmdSent_ = false;
    upload_ = UploadStep::None;
    if (!dryRun_ && !run_->SaveState())
        ctx_.log(ctx_.msl[msgError] + " mirrorstate.txt");
    ctx_.flags.clear();
    if (ctx_.ftp.Binary)
        ctx_.ftp.TypeAscii();
    ctx_.returnToBase();
    ctx_.setBusy(false);
    ctx_.ui.Progress().close();
    ctx_.local.refresh();
}

bool MirrorRunner::stop()
{
    if (!active_)
        return false;
    run_->Stop();
    // The files under way are aborted (the workers ask the run); none starts.
    if (workers_)
        workers_->dropQueued();
    wakeFromWorkers();
    const TMirrorRec r = current();
    return r.State == smProgress && isTransfer(r.Operation);
}

TMirrorRec MirrorRunner::current() const
{
    TMirrorRec r;
    run_->Items.GetItem(run_->Current, r);
    return r;
}

} // namespace brisk
