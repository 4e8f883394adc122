#include "mirror/mirror_runner.h"

#include "listing/calendar_date.h"
#include "mirror/mirror_run_planning.h"
#include "session/entry_names.h"
#include "session/remote_paths.h"

#include <vector>

namespace brisk {

namespace {

bool isListing(TFtpRequest kind)
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
    session_.setOperation(this);
}

MirrorRunner::~MirrorRunner()
{
    session_.setOperation(nullptr);
}

void MirrorRunner::start()
{
    ctx_.post([this, alive = std::weak_ptr<bool>(alive_)] {
        if (alive.lock())
            begin();
    });
}

void MirrorRunner::post(void (MirrorRunner::*step)())
{
    ctx_.post([this, step, alive = std::weak_ptr<bool>(alive_)] {
        if (alive.lock() && active_)
            (this->*step)();
    });
}

// Each completion returns before the run acts on it; a run that has ended, or a runner that is
// gone, hears nothing more.
FtpConnection::Done MirrorRunner::later(std::function<void(bool ok)> step)
{
    return [this, step = std::move(step), alive = std::weak_ptr<bool>(alive_)](bool ok) {
        if (!alive.lock())
            return;
        ctx_.post([this, step, ok, alive] {
            if (alive.lock() && active_)
                step(ok);
        });
    };
}

FtpConnection::Done MirrorRunner::succeedsOr(TFtpRequest kind)
{
    return later([this, kind](bool ok) { ok ? succeeded() : failed(kind); });
}

void MirrorRunner::begin()
{
    FtpConnection& conn = ctx_.conn;
    if (active_ || !conn.ready())
        return;
    overwriteAll_ = task_.FileExists != MirrorFileExists::Ask;
    resumeThis_ = false;
    rmdSent_ = false;
    upByPath_ = false;
    renameRefused_ = false;
    upload_ = UploadStep::None;
    ctx_.setBusy(true);
    ctx_.baseRemoteDir = RemoteDirRule(task_.Remote, ctx_.site.CheckVHost != 0);
    ctx_.baseLocalDir = WithSlash(task_.Local);
    run_ = std::make_unique<TMirrorRun>(conn.engine().HostName, task_.Local, task_.Remote);
    startWorkers();
    active_ = true;
    // Listed afresh even where the panel stands: what it shows may be old, or may not have
    // arrived whole.
    if (conn.dir() == task_.Remote)
        return listHere(Listed::Root);
    conn.cwd(task_.Remote, later([this](bool ok) { ok ? listHere(Listed::Root) : failed(ftpCwdAsync); }));
}

// The directory the run stands in is listed, then planned as `how` says.
void MirrorRunner::listHere(Listed how)
{
    ctx_.conn.list(later([this, how](bool ok) {
        if (!ok)
            return failed(ftpDirAsync);
        ctx_.refreshListingCopy();
        plan(how);
    }));
}

// The directory just listed: its differences to the local side, or the content of a remote
// directory under removal.
void MirrorRunner::plan(Listed how)
{
    if (how == Listed::Removal)
        removalListed();
    const std::vector<RemoteEntry> entries(ctx_.remote.listingCopy->begin(), ctx_.remote.listingCopy->end());
    const MirrorListing listing{entries, ctx_.conn.dir(), localToday(), ctx_};
    std::vector<MirrorRefusal> refused;
    int next = -1;
    const bool found = how == Listed::Removal
                           ? PlanCurrentRemoval(*run_, task_, listing, refused, next)
                           : PlanCurrentDirectory(*run_, task_, listing, how == Listed::Root, refused, next);
    refuse(refused);
    post(found ? &MirrorRunner::executeNext : &MirrorRunner::end);
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
    run_->FollowRemoteDir(ctx_.conn.dir());
    upByPath_ = false;
    // Sent again under its own name after a refused rename: the copy under the temporary name goes.
    if (r.Operation == omPut && upload_ == UploadStep::Fallback && tidy(MirrorPartialName(r.RemoteName)))
        return;
    upload_ = UploadStep::None;
    post(&MirrorRunner::executeNext);
}

void MirrorRunner::failed(TFtpRequest kind)
{
    ctx_.setBusy(true);
    // A leftover that could not be deleted: the upload's own outcome stands.
    if (upload_ == UploadStep::Tidy) {
        upload_ = UploadStep::None;
        return post(&MirrorRunner::executeNext);
    }
    const TMirrorRec r = current();
    ctx_.log(ctx_.msl[msgError] + " " + ctx_.conn.errorMessage());
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
    noteFailure(r.RemoteName.empty() ? r.LocalName : r.RemoteName, ctx_.conn.errorMessage());
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
    post(&MirrorRunner::executeNext);
}

// A directory entered but not listed fails as a whole; the run leaves it again by its "omDirUp".
void MirrorRunner::unlisted(const TMirrorRec& r)
{
    ctx_.log(SkippedText(ctx_.msl, r.RemoteName, run_->RemotePath(), xmsgNotListed));
    run_->MarkUnlisted();
    noteFailure(r.RemoteName, ctx_.msl[xmsgNotListed]);
    post(&MirrorRunner::executeNext);
}

// Leaving a directory failed. Back in the parent with only its listing missing, the run knows where
// it stands (and nothing after this needs that listing); a refused CDUP is tried once more as a
// change to the parent's path; otherwise the run is lost and stops.
void MirrorRunner::leaveFailed(TFtpRequest kind)
{
    if (isListing(kind)) {
        run_->MarkDone();
        run_->FollowRemoteDir(ctx_.conn.dir());
        upByPath_ = false;
        return post(&MirrorRunner::executeNext);
    }
    if (kind == ftpCDupAsync && !upByPath_) {
        upByPath_ = true;
        return ctx_.conn.cwd(ctx_.conn.dir(), afterLeaving(ftpCwdAsync));   // the parent's path already
    }
    const TMirrorRec r = current();
    run_->MarkFailed();
    noteFailure(r.RemoteName, ctx_.conn.errorMessage());
    post(&MirrorRunner::executeNext);
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
    ctx_.conn.setDir(dir);
}

// Once the workers are done: the state file, then back to the task's remote root; the
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
