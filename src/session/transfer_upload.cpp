#include "session/transfer_chain.h"

#include "local/local_paths.h"
#include "local/upload_source.h"
#include "session/entry_names.h"
#include "session/queue_entry.h"
#include "session/remote_paths.h"

#include <algorithm>
#include <optional>

namespace brisk {

// Queues what the local directory holds, then enters its remote counterpart; the listing that
// follows feeds the overwrite check. A missing remote directory is created (`uploadCwdFailed`).
void TransferChain::enterUploadDir()
{
    currentDir_ = dirs_.front();
    dirs_.pop_front();
    remoteDirMade_ = false;
    std::vector<UploadSource> sources;
    if (!ReadUploadSources(currentDir_.source, sources)) {
        dropCurrentDir(xmsgLocalNotReadable, currentDir_.source);
        return next();
    }
    ctx_.flags.set(ofUploadTree);
    const std::string remoteDir = WithSlash(currentDir_.target);
    for (const UploadSource& source : sources) {
        const std::string path = JoinLocalPath(currentDir_.source, source.name);
        std::optional<MainExtraMessage> why;
        if (!IsPlainEntryName(source.name)) {
            // A name no command can carry: the tree cannot arrive whole.
            ctx_.log(SkippedText(ctx_.msl, path, xmsgNotSendable));
            tally_.fail(path);
            continue;
        }
        if (source.kind == UploadKind::File)
            files_.push_back({path, remoteDir + source.name, source.size, int64_t(source.modified)});
        else if (source.kind == UploadKind::Directory)
            dirs_.push_back({path, remoteDir + source.name});
        else if (source.kind == UploadKind::DirectoryLink)
            why = xmsgLinkToDirectory;
        else if (source.kind == UploadKind::Special)
            why = xmsgNotRegularFile;
        else
            why = xmsgNoLongerExists;
        if (why) {
            ctx_.log(SkippedText(ctx_.msl, path, *why));
            ++tally_.skipped;
        }
    }
    uploadTargetDir_ = ctx_.ftp.HostDirName;
    ctx_.ftp.HostDirName = currentDir_.target;
    ctx_.ftp.HostFileName.clear();
    ctx_.ftp.CwdAsync();
}

void TransferChain::sendFile()
{
    TFtpClient& ftp = ctx_.ftp;
    const TransferFile file = files_.front();
    files_.pop_front();
    ctx_.ui.Progress().open();
    ftp.LocalFileName = file.source;
    ftp.HostFileName = file.target;
    if (!SelectTransferType(file.source) && !ftp.Connected()) {
        ++tally_.failed;
        return FinishTransfer();
    }
    ctx_.ui.Progress().startFile(file.source, file.size, true);
    // A resumed upload asks the server for the remote size itself (RestPutAsync).
    ftp.ResumeAt = 0;
    fileUnderWay_ = true;
    if (resumeThis)
        ftp.RestPutAsync();
    else
        ftp.PutAsync();
}

void TransferChain::uploadCwdFailed()
{
    TFtpClient& ftp = ctx_.ftp;
    if (!ctx_.site.MkDir) {
        ftp.HostFileName = ftp.HostDirName;
        ftp.MkdAsync();
        return;
    }
    if (WithSlash(ParentDir(ftp.HostDirName)) == WithSlash(uploadTargetDir_)) {
        ftp.HostFileName = LastComponent(ftp.HostDirName);
        ftp.MkdAsync();
        return;
    }
    uploadTargetDir_ = ftp.HostDirName;
    ftp.HostDirName = ParentDir(ftp.HostDirName);
    ctx_.flags.set(ofUploadParentCwd);
    ftp.CwdAsync();
}

void TransferChain::uploadParentEntered()
{
    ctx_.flags.remove(ofUploadParentCwd);
    ctx_.ftp.HostFileName = LastComponent(uploadTargetDir_);
    ctx_.ftp.MkdAsync();
    ctx_.ftp.HostDirName = uploadTargetDir_;
}

void TransferChain::uploadDirMade()
{
    if (ctx_.site.MkDir)
        ctx_.ftp.HostDirName = WithSlash(ctx_.ftp.HostDirName);
    remoteDirMade_ = true;
    ctx_.ftp.CwdAsync();
}

bool TransferChain::madeDirEntered()
{
    if (!remoteDirMade_)
        return false;
    next();
    return true;
}

// The directory being visited cannot be used: its queued files and the directories below it are
// dropped; the directory counts as failed by its source's name, together with its queued files (a
// tree of directories alone would otherwise fail without a trace in the tally). The log line shows
// `shown`, the path on the side that failed.
void TransferChain::dropCurrentDir(MainExtraMessage why, const std::string& shown)
{
    ctx_.flags.remove(ofUploadParentCwd);
    ctx_.log(SkippedText(ctx_.msl, shown, why));
    tally_.fail(currentDir_.source, 1 + int(files_.size()));
    files_.clear();
    const std::string below = WithSlash(currentDir_.target);
    std::erase_if(dirs_, [&below](const TransferDir& dir) { return dir.target.rfind(below, 0) == 0; });
}

} // namespace brisk
