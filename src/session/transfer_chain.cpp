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
    fileUnderWay_ = false;
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
    if (!ctx_.ftp.Connected()) {
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

void TransferChain::fileDone()
{
    if (!running())
        return;
    countFileDone();
    next();
}

void TransferChain::countFileDone()
{
    fileUnderWay_ = false;
    ctx_.ui.Progress().endFile();
    if (direction_ == Direction::Download && !commitDownload())
        ++tally_.failed;
    else
        ++tally_.transferred;
}

// Stop came while a file moved: the file aborted counts as failed, by name; one that completed
// all the same counts as any other.
void TransferChain::stoppedRequestDone(bool failed)
{
    if (!fileUnderWay_)
        return;
    if (!failed)
        return countFileDone();
    fileUnderWay_ = false;
    ctx_.ui.Progress().endFile();
    tally_.fail(failedFileName());
}

void TransferChain::listingDone()
{
    if (direction_ == Direction::Download)
        scanDownloadListing();
    else
        ctx_.refreshListingCopy();
    next();
}

// A failed file is counted and the chain goes on with the next one. A directory that cannot be
// entered, listed or created fails with everything below it and the chain goes on with its
// siblings; an upload's missing directory is created first.
void TransferChain::failed(TFtpRequest kind)
{
    stopping_ = false;
    switch (kind) {
    case ftpTypeSetAsync:
        return;   // a synchronous switch; its caller sees the failure
    case ftpGetAsync:
    case ftpRestGetAsync:
    case ftpPutAsync:
    case ftpRestPutAsync:
        fileUnderWay_ = false;
        ctx_.ui.Progress().endFile();
        tally_.fail(failedFileName());
        ctx_.setBusy(true);
        return next();
    case ftpCwdAsync:
        ctx_.setBusy(true);
        if (direction_ == Direction::Download) {
            dropCurrentDir(xmsgNotEntered, currentDir_.source);
            return next();
        }
        ctx_.ftp.TypeAscii();
        return uploadCwdFailed();
    case ftpMkdAsync:
        if (direction_ != Direction::Upload)
            break;
        ctx_.setBusy(true);
        dropCurrentDir(xmsgDirNotCreated, currentDir_.target);
        return next();
    case ftpDirAsync:
    case ftpLsAsync:
    case ftpDirectoryAsync:
    case ftpListAsync:
        ctx_.setBusy(true);
        dropCurrentDir(xmsgNotListed, direction_ == Direction::Download ? currentDir_.source : currentDir_.target);
        return next();
    default:
        break;
    }
    failRemaining();
    FinishTransfer();
}

// The file of the failed request by its source: a download's remote path, an upload's local one.
std::string TransferChain::failedFileName() const
{
    const TFtpClient& ftp = ctx_.ftp;
    if (direction_ == Direction::Upload)
        return ftp.LocalFileName;
    if (ftp.HostFileName.rfind('/', 0) == 0 || ftp.HostDirName.empty())
        return ftp.HostFileName;
    return WithSlash(ftp.HostDirName) + ftp.HostFileName;
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

bool TransferChain::SelectTransferType(const std::string& fileName)
{
    TFtpClient& ftp = ctx_.ftp;
    const bool ascii = wantsAscii(fileName);
    if (ascii == !ftp.Binary)
        return true;
    return ascii ? ftp.TypeAscii() : ftp.TypeBinary();
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
    ctx_.flags.remove(ofDownloadTree | ofUploadTree | ofUploadParentCwd);
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
    if (ctx_.ftp.Connected() && (upload || ctx_.ftp.HostDirName != ctx_.baseRemoteDir))
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
