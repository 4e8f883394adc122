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
    uploadTargetDir_ = ctx_.conn.dir();
    ctx_.conn.cwd(currentDir_.target, then([this](bool ok) { ok ? uploadDirEntered() : uploadCwdFailed(); }));
}

// The listing of the remote directory feeds the overwrite check; one this chain has just made is
// empty, and the files follow at once.
void TransferChain::uploadDirEntered()
{
    if (remoteDirMade_)
        return next();
    ctx_.conn.list(then([this](bool ok) {
        if (!ok)
            return skipCurrentDir(xmsgNotListed, currentDir_.target);
        ctx_.refreshListingCopy();
        next();
    }));
}

void TransferChain::sendFile()
{
    const TransferFile file = files_.front();
    files_.pop_front();
    ctx_.ui.Progress().open();
    ctx_.conn.setBinary(!wantsAscii(file.source));
    ctx_.ui.Progress().startFile(file.source, file.size, true);
    // A resumed upload asks the server for the remote size itself.
    ctx_.conn.put(file.source, file.target, resumeThis, fileDone(file.source));
}

// The directory could not be entered: it is created, level by level from the first missing one
// when the site's MkDir option asks for it.
void TransferChain::uploadCwdFailed()
{
    const std::string dir = ctx_.conn.dir();
    if (!ctx_.site.MkDir)
        return makeUploadDir(dir, dir);
    if (WithSlash(ParentDir(dir)) == WithSlash(uploadTargetDir_))
        return makeUploadDir(LastComponent(dir), dir);
    uploadTargetDir_ = dir;
    ctx_.conn.cwd(ParentDir(dir), then([this](bool ok) {
        if (!ok)
            return uploadCwdFailed();
        makeUploadDir(LastComponent(uploadTargetDir_), uploadTargetDir_);
    }));
}

// MKD `name`, then into `dir`, the directory it made.
void TransferChain::makeUploadDir(const std::string& name, const std::string& dir)
{
    ctx_.conn.mkd(name, then([this, dir](bool ok) {
        if (!ok)
            return skipCurrentDir(xmsgDirNotCreated, currentDir_.target);
        remoteDirMade_ = true;
        ctx_.conn.cwd(ctx_.site.MkDir ? WithSlash(dir) : dir, then([this](bool entered) {
            if (!entered)
                return skipCurrentDir(xmsgNotEntered, currentDir_.target);
            next();
        }));
    }));
}

// The directory being visited cannot be used: its queued files and the directories below it are
// dropped; the directory counts as failed by its source's name, together with its queued files (a
// tree of directories alone would otherwise fail without a trace in the tally). The log line shows
// `shown`, the path on the side that failed.
void TransferChain::dropCurrentDir(MainExtraMessage why, const std::string& shown)
{
    ctx_.log(SkippedText(ctx_.msl, shown, why));
    tally_.fail(currentDir_.source, 1 + int(files_.size()));
    files_.clear();
    const std::string below = WithSlash(currentDir_.target);
    std::erase_if(dirs_, [&below](const TransferDir& dir) { return dir.target.rfind(below, 0) == 0; });
}

} // namespace brisk
