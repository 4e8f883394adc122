#include "session/transfer_chain.h"

#include "session/remote_paths.h"

namespace brisk {

namespace {

std::string extensionOf(const std::string& path)
{
    const std::string name = LastComponent(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

} // namespace

void TransferChain::startUpload(std::vector<TransferFile> files, std::vector<TransferDir> dirs)
{
    begin(Direction::Upload, std::move(files), std::move(dirs));
}

void TransferChain::startDownload(std::vector<TransferFile> files, std::vector<TransferDir> dirs)
{
    begin(Direction::Download, std::move(files), std::move(dirs));
}

void TransferChain::begin(Direction direction, std::vector<TransferFile> files, std::vector<TransferDir> dirs)
{
    dropWork();
    direction_ = direction;
    files_.assign(files.begin(), files.end());
    dirs_.assign(dirs.begin(), dirs.end());
    tally_ = {};
    overwriteAll = false;
    stopping_ = false;
    remoteDirMade_ = false;
    awaitingWorkers_ = false;
    fileUnderWay_.clear();
    // A mark left from an earlier Stop belongs to that transfer, not to this one.
    ctx_.abortMark = false;
    ctx_.setBusy(true);
    startWorkers();
    next();
}

// The worker both directions share: the next directory to visit when no file is queued, else the
// next file that passes the overwrite check.
void TransferChain::next()
{
    if (!running())
        return;
    const bool download = direction_ == Direction::Download;
    if (!ctx_.conn.connected()) {
        failRemaining();
        return FinishTransfer();
    }
    if (ctx_.abortMark) {
        dropWork();
        ctx_.abortMark = false;
    }
    handOutFiles();
    if (files_.empty()) {
        if (!dirs_.empty())
            return download ? enterDownloadDir() : enterUploadDir();
        if (workers_ && workers_->busy())
            return wakeWhenIdle();
        return FinishTransfer();
    }
    CheckOverwrite();
    if (files_.empty())
        return next();
    download ? receiveFile() : sendFile();
}

// The completion of a file sent or received on this connection; `shown` names it when it failed.
FtpConnection::Done TransferChain::fileDone(std::string shown)
{
    fileUnderWay_ = std::move(shown);
    return then([this](bool ok) {
        if (!ok)
            ctx_.setBusy(true);
        countFileDone(ok);
        next();
    });
}

void TransferChain::countFileDone(bool ok)
{
    ctx_.ui.Progress().endFile();
    if (!ok)
        tally_.fail(fileUnderWay_);
    else if (direction_ == Direction::Download && !commitDownload())
        ++tally_.failed;
    else
        ++tally_.transferred;
    fileUnderWay_.clear();
}

// Stop came while a file moved: the file aborted counts as failed, by name; one that completed
// all the same counts as any other.
void TransferChain::stoppedRequestDone(bool failed)
{
    if (!fileUnderWay_.empty())
        countFileDone(!failed);
}

// A directory that cannot be entered, listed or created fails with everything below it and the
// chain goes on with its siblings.
void TransferChain::skipCurrentDir(MainExtraMessage why, const std::string& shown)
{
    ctx_.setBusy(true);
    dropCurrentDir(why, shown);
    next();
}

// The chain cannot go on: what is still queued fails, each directory by its source's name.
void TransferChain::failRemaining()
{
    tally_.failed += int(files_.size());
    files_.clear();
    for (const TransferDir& dir : dirs_)
        tally_.fail(dir.source);
    dirs_.clear();
}

bool TransferChain::wantsAscii(const std::string& fileName) const
{
    if (type != TransferType::Auto)
        return type == TransferType::Ascii;
    // The extension is looked for anywhere in the list's text, so "htm" is found in "txt,html".
    const std::string ext = extensionOf(fileName);
    const std::string& list = ctx_.options.Ext;
    return !ext.empty() && !list.empty() && list.find(ext) != std::string::npos;
}

// The end of a transfer: one line with what it did, the panels show the result.
void TransferChain::FinishTransfer()
{
    if (!running())
        return;
    const bool upload = direction_ == Direction::Upload;
    dropWork();
    stopWorkers();
    direction_ = Direction::None;
    if (tally_.queued > 0)
        ctx_.log(FormatMessage(ctx_.msl[xmsgFilesQueued], {std::to_string(tally_.queued)}));
    if (tally_.queued == 0 || tally_.transferred + tally_.skipped + tally_.failed > 0)
        ctx_.log(ctx_.msl[xmsgTransferFinished] + " " + std::to_string(tally_.transferred) + " " +
                 ctx_.msl[xmsgTransferred] + ", " + std::to_string(tally_.skipped) + " " + ctx_.msl[xmsgSkipped] +
                 ", " + std::to_string(tally_.failed) + " " + ctx_.msl[xmsgFailed]);
    for (const std::string& name : tally_.failedNames)
        ctx_.log(FailedText(ctx_.msl, name));
    ctx_.setBusy(false);
    if (tally_.queued == 0)   // else the queue shows its files there
        ctx_.ui.Progress().close();
    if (!upload)
        ctx_.local.refresh();
    if (ctx_.conn.connected() && (upload || ctx_.conn.dir() != ctx_.baseRemoteDir))
        ctx_.returnToBase();
}

void TransferChain::dropWork()
{
    files_.clear();
    dirs_.clear();
    if (workers_)
        workers_->dropQueued();
}

} // namespace brisk
