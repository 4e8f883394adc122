#include "mirror/mirror_runner.h"

#include "listing/calendar_date.h"
#include "mirror/mirror_file_time.h"
#include "mirror/mirror_run_planning.h"
#include "platform/file_time.h"
#include "session/remote_paths.h"

#include <vector>

namespace brisk {

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
        return failed();
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
    emptied_.clear();
    ctx_.setBusy(true);
    ctx_.baseRemoteDir = RemoteDirRule(task_.Remote, ctx_.site.CheckVHost != 0);
    ctx_.baseLocalDir = WithSlash(task_.Local);
    run_ = std::make_unique<TMirrorRun>(ftp.HostName, task_.Local, task_.Remote);
    active_ = true;
    ctx_.flags.clear();
    ctx_.flags.set(ofMirrorRun);
    if (ftp.HostDirName == task_.Remote)
        return post(1);
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
    int next = -1;
    const bool found = value == 2 ? PlanCurrentRemoval(*run_, task_, listing, next)
                                  : PlanCurrentDirectory(*run_, task_, listing, value == 0, next);
    post(found ? 2 : 5);
}

// A remote directory under removal has been entered and listed. Its content is deleted first, then
// the runner leaves it and its own record comes again, now to send RMD.
void MirrorRunner::removalListed()
{
    TMirrorRec removal = current();
    emptied_.insert(ctx_.ftp.HostDirName);
    removal.State = smNone;
    put(removal);
    run_->Items.Insert(run_->Current, TMirrorRec{removal.RemoteName, removal.RemoteName, 0, 0, omDirUp, smNone});
}

void MirrorRunner::succeeded()
{
    const TMirrorRec r = current();
    if (r.Operation == omGet || r.Operation == omPut)
        ctx_.ui.Progress().endFile();
    // The file keeps the remote time, so that the next "only newest" run finds nothing to do.
    if (r.Operation == omGet)
        SetLocalModified(ctx_.ftp.LocalFileName, DownloadedFileTime(ctx_.ftp.RemoteModified(),
                                                                    *ctx_.remote.listingCopy, r.RemoteName,
                                                                    localToday(), MirrorClockOf(ctx_)));
    run_->MarkDone();
    run_->FollowRemoteDir(ctx_.ftp.HostDirName);
    post(2);
}

void MirrorRunner::failed()
{
    const TMirrorRec r = current();
    ctx_.log(ctx_.msl[msgError] + " " + ctx_.ftp.ErrorMessage());
    ctx_.setBusy(true);
    if (r.Operation == omGet || r.Operation == omPut)
        ctx_.ui.Progress().endFile();
    run_->MarkFailed();
    // Nothing planned yet: the task's remote root could not be entered or listed, so the run has
    // nothing to stand on.
    if (run_->Items.Count() == 0)
        run_->Stop();
    if (r.Operation == omDir || (r.Operation == omRmdFtp && !rmdSent_))
        resyncRemoteDir();
    rmdSent_ = false;
    post(2);
}

void MirrorRunner::resyncRemoteDir()
{
    std::string dir = run_->RemotePath();
    if (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    ctx_.ftp.HostDirName = dir;
}

// The state file, then back to the task's remote root in ASCII; the panels show the result.
void MirrorRunner::end()
{
    active_ = false;
    rmdSent_ = false;
    emptied_.clear();
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
    const TMirrorRec r = current();
    return r.State == smProgress && (r.Operation == omGet || r.Operation == omPut);
}

TMirrorRec MirrorRunner::current() const
{
    TMirrorRec r;
    run_->Items.GetItem(run_->Current, r);
    return r;
}

} // namespace brisk
