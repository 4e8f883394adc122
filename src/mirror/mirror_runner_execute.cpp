#include "mirror/mirror_runner.h"

#include "mirror/mirror_deletion.h"
#include "mirror/mirror_local_side.h"
#include "mirror/mirror_overwrite.h"
#include "session/remote_paths.h"

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
    int next = run_->Current;
    if (!run_->FindNext(next))
        return post(5);
    run_->Current = next;
    ctx_.flags.clear();
    ctx_.flags.set(ofMirrorRun);
    TMirrorRec r = current();
    execute(r);
}

void MirrorRunner::execute(TMirrorRec& r)
{
    if (dryRun_ && skipWhenDry(r))
        return post(2);
    switch (r.Operation) {
    case omGet:
    case omPut:
        return transfer(r);
    case omMkdLoc:
    case omRmdLoc:
    case omDelLoc:
        return localStep(r);
    case omMkdFtp:
        ctx_.flags.set(ofUploadParentCwd);
        r.State = smProgress;
        put(r);
        ctx_.ftp.HostFileName = run_->RemotePath() + r.RemoteName;
        return ctx_.ftp.MkdAsync();
    case omRmdFtp:
        return removeRemoteDir(r);
    case omDelFtp:
        return deleteRemoteFile(r);
    case omDir:
        return enterRemoteDir(r, ofMirrorFlag6);
    case omDirUp:
        return leaveRemoteDir(r);
    default:
        r.State = smDone;
        put(r);
        return post(2);
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
    if (!overwriteCheck(r))
        return post(2);
    r = current();   // "Save as" renames the target
    const bool download = r.Operation == omGet;
    TFtpClient& ftp = ctx_.ftp;
    ftp.HostFileName = r.RemoteName;
    ftp.LocalFileName = run_->LocalPath() + r.LocalName;
    if (download && localIsLink(ftp.LocalFileName)) {
        r.State = smError;
        put(r);
        return post(2);
    }
    ctx_.ui.Progress().open();
    r.State = smProgress;
    put(r);
    ctx_.log(ctx_.msl[msgStartingTransfer] + " " + r.RemoteName);
    selectType(r.RemoteName);
    ftp.ResumeAt = 0;
    if (download) {
        ctx_.ui.Progress().startFile(ftp.HostFileName, r.RemoteSize, false);
        return resumeThis_ ? ftp.RestGetAsync() : ftp.GetAsync();
    }
    ctx_.ui.Progress().startFile(ftp.LocalFileName, r.LocalSize, true);
    if (!resumeThis_)
        return ftp.PutAsync();
    ftp.ResumeAt = r.RemoteSize;
    ftp.RestPutAsync();
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
                                       const RemoteListing& listing = *ctx_.remote.listingCopy;
                                       for (size_t i = 0; i < listing.size(); ++i)
                                           if (listing.name(i) == rec.RemoteName)
                                               return true;
                                       return false;
                                   },
                                   ctx_.ui};
    return CheckMirrorOverwrite(*run_, run_->Current, context);
}

// "Transfer all files in binary" forces binary; otherwise the transfer type menu decides.
void MirrorRunner::selectType(const std::string& name)
{
    if ((task_.Params & mpAllBinary) == 0) {
        session_.transferChain().SelectTransferType(name);
        return;
    }
    if (!ctx_.ftp.Binary)
        ctx_.ftp.TypeBinary();
}

void MirrorRunner::localStep(TMirrorRec& r)
{
    const std::string path = run_->LocalPath() + r.LocalName;
    MirrorLocalDir here(run_->LocalRoot, run_->LocalSub);
    r.State = smDone;
    if (r.Operation == omMkdLoc && !here.makeDirectory(r.LocalName))
        r.State = smError;
    if (r.Operation == omRmdLoc && confirm(path, true))
        DeleteLocalTree(path);
    if (r.Operation == omDelLoc && confirm(path, false) && !here.removeFile(r.LocalName))
        r.State = smError;
    put(r);
    post(2);
}

void MirrorRunner::deleteRemoteFile(TMirrorRec& r)
{
    r.State = smDone;
    put(r);
    if (!confirm(run_->RemotePath() + r.RemoteName, false))
        return post(2);
    ctx_.ftp.HostFileName = r.RemoteName;
    ctx_.ftp.DeleAsync();
}

void MirrorRunner::enterRemoteDir(TMirrorRec& r, OperationFlag flag)
{
    ctx_.flags.set(flag);
    r.State = smProgress;
    put(r);
    ctx_.ftp.HostDirName = run_->RemotePath() + r.RemoteName;
    ctx_.ftp.CwdAsync();
}

// First entered and listed, its content planned for deletion; once that is done, RMD.
void MirrorRunner::removeRemoteDir(TMirrorRec& r)
{
    const std::string path = run_->RemotePath() + r.RemoteName;
    const bool emptied = emptied_.count(path) != 0;
    if (!emptied && !confirm(path, true)) {
        r.State = smDone;
        put(r);
        return post(2);
    }
    if (!emptied)
        return enterRemoteDir(r, ofMirrorFlag8);
    ctx_.flags.set(ofMirrorFlag8);
    r.State = smProgress;
    put(r);
    rmdSent_ = true;
    ctx_.ftp.HostFileName = path;
    ctx_.ftp.RmdAsync();
}

void MirrorRunner::leaveRemoteDir(TMirrorRec& r)
{
    ctx_.flags.set(ofMirrorFlag11);
    r.State = smProgress;
    put(r);
    TFtpClient& ftp = ctx_.ftp;
    const std::string up = UpDir(ftp.HostDirName);
    if (up == "/" && ctx_.site.CheckVHost) {
        ftp.HostDirName.clear();
        return ftp.PwdAsync();
    }
    ftp.HostDirName = up;
    ftp.CDupAsync();
}

bool MirrorRunner::confirm(const std::string& path, bool isDirectory)
{
    return ConfirmMirrorDelete(task_, path, isDirectory, ctx_.ui, ctx_.msl);
}

} // namespace brisk
