#include "mirror/mirror_runner.h"

#include "listing/calendar_date.h"
#include "listing/time_of_day.h"
#include "mirror/mirror_deletion.h"
#include "mirror/mirror_file_time.h"
#include "mirror/mirror_local_side.h"
#include "mirror/mirror_overwrite.h"
#include "mirror/mirror_run_planning.h"
#include "session/entry_names.h"
#include "session/download_target.h"
#include "session/remote_paths.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace brisk {

namespace {

bool localExists(const std::string& path)
{
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

bool localIsLink(const std::string& path)
{
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

} // namespace

void MirrorRunner::executeNext()
{
    upload_ = UploadStep::None;
    upByPath_ = false;
    if (runStepAfterWorker())
        return;
    int next = run_->Current;
    const bool found = run_->FindNext(next);
    if (awaitWorkers(found, next))
        return;
    if (!found)
        return post(&MirrorRunner::end);
    run_->Current = next;
    TMirrorRec r = current();
    execute(r);
}

void MirrorRunner::execute(TMirrorRec& r)
{
    if (dryRun_ && skipWhenDry(r))
        return post(&MirrorRunner::executeNext);
    switch (r.Operation) {
    case omGet:
    case omPut:
        return transfer(r);
    case omMkdLoc:
    case omRmdLoc:
    case omDelLoc:
        return localStep(r);
    case omMkdFtp:
        r.State = smProgress;
        put(r);
        return ctx_.conn.mkd(run_->RemotePath() + r.RemoteName, succeedsOr(ftpMkdAsync));
    case omRmdFtp:
        return removeRemoteDir(r);
    case omDelFtp:
        return deleteRemoteFile(r);
    case omDir:
        return enterRemoteDir(r, Listed::Entered);
    case omDirUp:
        return leaveRemoteDir(r);
    default:
        r.State = smDone;
        put(r);
        return post(&MirrorRunner::executeNext);
    }
}

// In a dry run every change is skipped by choice. A remote directory that would have been created
// first does not exist, so it is neither entered nor left.
bool MirrorRunner::skipWhenDry(TMirrorRec& r)
{
    TMirrorRec before;
    const bool uncreated = r.Operation == omDir && run_->Items.GetItem(run_->Current - 1, before) &&
                           before.Operation == omMkdFtp && before.RemoteName == r.RemoteName;
    const bool change = r.Operation != omNone && r.Operation != omDir && r.Operation != omDirUp;
    if (!change && !uncreated)
        return false;
    TMirrorRec up;
    if (uncreated && run_->Items.GetItem(run_->Current + 1, up) && up.Operation == omDirUp) {
        up.State = smDone;
        run_->Items.PutItem(run_->Current + 1, up);
    }
    r.State = smDone;
    put(r);
    return true;
}

void MirrorRunner::transfer(TMirrorRec& r)
{
    // A file the workers gave back was checked before it went to them.
    if (checked_.erase(run_->Current) != 0)
        resumeThis_ = false;
    else if (!overwriteCheck(r))
        return post(&MirrorRunner::executeNext);
    r = current();   // "Save as" renames the target
    const bool download = r.Operation == omGet;
    const std::string localPath = run_->LocalPath() + r.LocalName;
    const bool sendable = IsPlainEntryName(r.RemoteName) && IsPlainEntryName(r.LocalName);
    if (!sendable || (download && localIsLink(localPath))) {
        const MainExtraMessage why = sendable ? xmsgTargetIsLink : xmsgNotSendable;
        ctx_.log(SkippedText(ctx_.msl, download ? r.LocalName : r.RemoteName, why));
        r.State = smError;
        put(r);
        noteFailure(download ? r.LocalName : r.RemoteName, ctx_.msl[why]);
        return post(&MirrorRunner::executeNext);
    }
    ctx_.ui.Progress().open();
    if (handOut(r))
        return post(&MirrorRunner::executeNext);
    r.State = smProgress;
    put(r);
    ctx_.log(ctx_.msl[msgStartingTransfer] + " " + r.RemoteName);
    selectType(r.RemoteName);
    if (!download)
        return upload(r);
    receive(r, localPath);
}

void MirrorRunner::receive(const TMirrorRec& r, const std::string& localPath)
{
    TFtpClient& ftp = ctx_.conn.engine();
    ctx_.ui.Progress().startFile(r.RemoteName, r.RemoteSize, false);
    const RemoteListing entry = listedEntry(r.RemoteName);
    const DownloadStart start = PrepareDownload(ftp, localPath, ListedFileSize(entry, r.RemoteName), resumeThis_);
    ftp.AskModifiedTime = !(entry.size() == 1 && TimeShowsSeconds(entry[0].time)); // MLSD gave the time
    if (start == DownloadStart::WholeNotResumable)
        ctx_.log(FormatMessage(ctx_.msl[xmsgNotResumed], {localPath}));
    ctx_.conn.get(r.RemoteName, start, succeedsOr(ftpGetAsync));
}

// Under the temporary name, renamed when complete, so that the file on the server is never a part of
// itself; a resume continues the file itself. A local "NAME.part" has a remote counterpart of its
// own, which the temporary name must not replace.
void MirrorRunner::upload(const TMirrorRec& r)
{
    if (sendsTemporary(r))
        return sendFile(r, MirrorPartialName(r.RemoteName), UploadStep::Temporary);
    sendFile(r, r.RemoteName, UploadStep::Direct);
}

bool MirrorRunner::sendsTemporary(const TMirrorRec& r) const
{
    return task_.TempUpload && !renameRefused_ && !resumeThis_ &&
           !localExists(run_->LocalPath() + MirrorPartialName(r.LocalName));
}

void MirrorRunner::sendFile(const TMirrorRec& r, const std::string& remoteName, UploadStep step)
{
    upload_ = step;
    const std::string localPath = run_->LocalPath() + r.LocalName;
    ctx_.ui.Progress().startFile(localPath, r.LocalSize, true);
    ctx_.conn.put(localPath, remoteName, step == UploadStep::Direct && resumeThis_, succeedsOr(ftpPutAsync));
}

void MirrorRunner::renameUpload(const TMirrorRec& r)
{
    upload_ = UploadStep::Rename;
    ctx_.conn.rename(MirrorPartialName(r.RemoteName), r.RemoteName, succeedsOr(ftpRenAsync));
}

// The server will not rename (or not over an existing file): this upload and the later ones go
// under their own names.
void MirrorRunner::renameRefused(const TMirrorRec& r)
{
    ctx_.log(FormatMessage(ctx_.msl[xmsgRenameRefused], {PrintableName(r.RemoteName)}));
    renameRefused_ = true;
    sendFile(r, r.RemoteName, UploadStep::Fallback);
}

// What a failed upload left must not pass for the file: the temporary copy goes, and so does a file
// sent under its own name once any of it went over (a resume keeps its part to continue from).
bool MirrorRunner::tidyFailedUpload(const TMirrorRec& r)
{
    if (upload_ == UploadStep::Temporary)
        return tidy(MirrorPartialName(r.RemoteName));
    const bool partial = ctx_.conn.engine().ByteCount > 0 && !(upload_ == UploadStep::Direct && resumeThis_);
    return (upload_ == UploadStep::Direct || upload_ == UploadStep::Fallback) && partial && tidy(r.RemoteName);
}

bool MirrorRunner::tidy(const std::string& remoteName)
{
    if (!ctx_.conn.ready())
        return false;
    upload_ = UploadStep::Tidy;
    ctx_.conn.dele(remoteName, deleted());
    return true;
}

// The listing's entry for `name` alone (or none), found through the index so that a large
// directory is not searched once per file.
RemoteListing MirrorRunner::listedEntry(const std::string& name)
{
    const auto& listed = ctx_.remote.listingCopy;
    const std::optional<size_t> at = listedNames_.find(listed, name);
    return at ? RemoteListing{(*listed)[*at]} : RemoteListing{};
}

// The part file becomes the target and keeps the remote time, so that the next "only newest" run
// finds nothing to do.
bool MirrorRunner::commitDownload(const TMirrorRec& r)
{
    const std::string problem = downloadProblem(r, ctx_.conn.binary(), ctx_.conn.engine().RemoteModified());
    if (!problem.empty())
        ctx_.log(problem);
    return problem.empty();
}

std::string MirrorRunner::downloadProblem(const TMirrorRec& r, bool binary, int64_t remoteModified)
{
    const RemoteListing entry = listedEntry(r.RemoteName);
    return CommitDownload(ctx_.msl, run_->LocalPath() + r.LocalName,
                          ExpectedDownloadSize(binary, ListedFileSize(entry, r.RemoteName)),
                          DownloadedFileTime(remoteModified, entry, r.RemoteName, localToday(), MirrorClockOf(ctx_)));
}

bool MirrorRunner::overwriteCheck(const TMirrorRec& r)
{
    const bool download = r.Operation == omGet;
    const TFTPOptions& options = ctx_.options;
    MirrorOverwriteContext context{overwriteAll_, resumeThis_,
                                   download ? options.PromptDownLoad : options.PromptUpLoad, options.DefPrompt,
                                   [this, download](const TMirrorRec& rec) {
                                       if (download)
                                           return localExists(run_->LocalPath() + rec.LocalName);
                                       return listedNames_.find(ctx_.remote.listingCopy, rec.RemoteName)
                                           .has_value();
                                   },
                                   ctx_.ui};
    return CheckMirrorOverwrite(*run_, run_->Current, context);
}

// "Transfer all files in binary" forces binary; otherwise the transfer type menu decides.
void MirrorRunner::selectType(const std::string& name)
{
    ctx_.conn.setBinary((task_.Params & mpAllBinary) != 0 || !session_.transferChain().wantsAscii(name));
}

// A local directory that cannot be created is neither entered nor filled; a file that cannot be
// deleted is a failure. Both are counted.
void MirrorRunner::localStep(TMirrorRec& r)
{
    const std::string path = run_->LocalPath() + r.LocalName;
    MirrorLocalDir here(run_->LocalRoot, run_->LocalSub);
    bool done = true;
    if (r.Operation == omMkdLoc)
        done = here.makeDirectory(r.LocalName);
    std::string why;
    if (r.Operation == omRmdLoc && confirm(path, true)) {
        const LocalDeleteOutcome outcome = DeleteLocalTree(path, task_);
        done = outcome.failed.empty();
        why = done ? why : "could not be deleted: " + PrintableName(outcome.failed.front());
    }
    if (r.Operation == omDelLoc && confirm(path, false))
        done = here.removeFile(r.LocalName);
    if (!done && why.empty())
        why = std::strerror(here.error() ? here.error() : ENOENT);
    r.State = smDone;
    put(r);
    if (!done) {
        run_->MarkFailed();
        noteFailure(r.LocalName, why);
    }
    post(&MirrorRunner::executeNext);
}

void MirrorRunner::deleteRemoteFile(TMirrorRec& r)
{
    r.State = smDone;
    put(r);
    if (!confirm(run_->RemotePath() + r.RemoteName, false))
        return post(&MirrorRunner::executeNext);
    ctx_.conn.dele(r.RemoteName, deleted());
}

// A deletion goes on with the next step; a failed one is counted (a leftover's is not).
FtpConnection::Done MirrorRunner::deleted()
{
    return later([this](bool ok) { ok ? executeNext() : failed(ftpDeleAsync); });
}

void MirrorRunner::enterRemoteDir(TMirrorRec& r, Listed how)
{
    r.State = smProgress;
    put(r);
    ctx_.conn.cwd(run_->RemotePath() + r.RemoteName,
                  later([this, how](bool ok) { ok ? listHere(how) : failed(ftpCwdAsync); }));
}

// First entered and listed, its content planned for deletion; once that is done, RMD.
void MirrorRunner::removeRemoteDir(TMirrorRec& r)
{
    const std::string path = run_->RemotePath() + r.RemoteName;
    if (!r.Emptied && !confirm(path, true)) {
        r.State = smDone;
        put(r);
        return post(&MirrorRunner::executeNext);
    }
    if (!r.Emptied)
        return enterRemoteDir(r, Listed::Removal);
    r.State = smProgress;
    put(r);
    rmdSent_ = true;
    ctx_.conn.rmd(path, later([this](bool ok) {
        if (!ok)
            return failed(ftpRmdAsync);
        rmdSent_ = false;
        succeeded();
    }));
}

void MirrorRunner::leaveRemoteDir(TMirrorRec& r)
{
    r.State = smProgress;
    put(r);
    FtpConnection& conn = ctx_.conn;
    const std::string up = UpDir(conn.dir());
    if (up == "/" && ctx_.site.CheckVHost) {
        conn.setDir({});
        return conn.pwd(afterLeaving(ftpPwdAsync));
    }
    conn.cdup(up, afterLeaving(ftpCDupAsync));
}

// Out of a directory: the parent is listed again, and the step is done.
FtpConnection::Done MirrorRunner::afterLeaving(TFtpRequest kind)
{
    return later([this, kind](bool ok) {
        if (!ok)
            return failed(kind);
        ctx_.conn.list(later([this](bool listed) {
            if (!listed)
                return failed(ftpDirAsync);
            ctx_.refreshListingCopy();
            succeeded();
        }));
    });
}

bool MirrorRunner::confirm(const std::string& path, bool isDirectory)
{
    return ConfirmMirrorDelete(task_, path, isDirectory, ctx_.ui, ctx_.msl);
}

} // namespace brisk
