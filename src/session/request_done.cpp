#include "session/session_controller.h"

#include "platform/event_loop.h"
#include "session/remote_paths.h"

namespace brisk {

namespace {

bool isListing(TFtpRequest kind)
{
    return kind == ftpDirAsync || kind == ftpLsAsync || kind == ftpDirectoryAsync || kind == ftpListAsync;
}

} // namespace

void SessionController::Ftp1RequestDone(TFtpRequest kind, uint16_t error)
{
    cTimer_.setEnabled(false);
    if (error != 0 && !(kind == ftpDirAsync && error == 550))
        requestFailed(kind);
    else
        requestSucceeded(kind);
    requestCompleted();
    if (keepAliveChain_ && (error != 0 || isListing(kind)))
        keepAliveChain_ = false;
    changed();
}

void SessionController::requestFailed(TFtpRequest kind)
{
    // Whatever the path box or an in-place rename started has ended; the box must not stay disabled.
    NavigationBusy_ = false;
    if (OperationFlags_.has(ofMirrorRun))
        return postMirrorMessage(4, kind);
    if (OperationFlags_.has(ofDeleteScan) || OperationFlags_.has(ofDeleteRemove)) {
        DirsToScan.clear();
        PairedDirs.clear();
        FileQueue.clear();
        TargetQueue.clear();
    }
    OperationFlags_.remove(ofDeleteScan | ofDeleteRemove | ofDownloadTree);
    if (kind == ftpCwdAsync)
        return cwdFailed();
    if (kind == ftpConnectAsync)
        return connectFailed();
    AddLog(msl[msgError] + " " + Ftp1.ErrorMessage());
    // What a failed or aborted listing left behind is never read; it must not stay on disk.
    if (isListing(kind))
        removeListingFile();
    if (kind == ftpGetAsync)
        continueDownloadChain();
    else if (kind == ftpDirAsync)
        Ftp1.AbortAsync();
}

void SessionController::requestSucceeded(TFtpRequest kind)
{
    switch (kind) {
    case ftpCwdAsync:
    case ftpMkdAsync:
    case ftpCDupAsync:
        return cwdMkdCdupDone(kind);
    case ftpConnectAsync:
        return Ftp1.SystAsync();
    case ftpSystAsync:
        if (!Ftp1.HostDirName.empty() && Ftp1.HostDirName != "/")
            return Ftp1.CwdAsync();
        return Ftp1.PwdAsync();
    case ftpPwdAsync:
        return pwdDone();
    case ftpDirAsync:
    case ftpLsAsync:
    case ftpDirectoryAsync:
    case ftpListAsync:
        return listingDone();
    case ftpGetAsync:
    case ftpRestGetAsync:
        if (OperationFlags_.has(ofMirrorRun))
            return postMirrorMessage(3, 0);
        return continueDownloadChain();
    case ftpPutAsync:
    case ftpRestPutAsync:
        if (OperationFlags_.has(ofMirrorRun))
            return postMirrorMessage(3, 0);
        return continueUploadChain();
    case ftpRmdAsync:
        return rmdDone();
    case ftpDeleAsync:
        return deleDone();
    case ftpRenAsync:
        return renameDone();
    case ftpQuoteAsync:
        return rawCommandDone();
    default:
        return;
    }
}

void SessionController::cwdFailed()
{
    Ftp1.TypeAscii();
    if (!OperationFlags_.has(ofUploadTree)) {
        Ftp1.HostFileName.clear();
        Ftp1.HostDirName = BaseRemoteDir_;
        Ftp1.PwdAsync();
        return;
    }
    if (!CurrentSite_.MkDir) {
        Ftp1.HostFileName = Ftp1.HostDirName;
        Ftp1.MkdAsync();
        return;
    }
    if (WithSlash(ParentDir(Ftp1.HostDirName)) == WithSlash(UploadTargetDir_)) {
        Ftp1.HostFileName = LastComponent(Ftp1.HostDirName);
        Ftp1.MkdAsync();
        return;
    }
    UploadTargetDir_ = Ftp1.HostDirName;
    Ftp1.HostDirName = ParentDir(Ftp1.HostDirName);
    OperationFlags_.set(ofUploadParentCwd);
    Ftp1.CwdAsync();
}

void SessionController::cwdMkdCdupDone(TFtpRequest kind)
{
    if (OperationFlags_.has(ofMirrorRun) && kind == ftpMkdAsync)
        return postMirrorMessage(3, 0);
    if (OperationFlags_.has(ofDeleteRemove))
        return rmdDone();
    if (kind == ftpCwdAsync && OperationFlags_.has(ofUploadTree) && OperationFlags_.has(ofUploadParentCwd)) {
        OperationFlags_.remove(ofUploadParentCwd);
        Ftp1.HostFileName = LastComponent(UploadTargetDir_);
        Ftp1.MkdAsync();
        Ftp1.HostDirName = UploadTargetDir_;
        return;
    }
    if (kind == ftpMkdAsync && OperationFlags_.has(ofUploadTree)) {
        if (CurrentSite_.MkDir)
            Ftp1.HostDirName = WithSlash(Ftp1.HostDirName);
        Ftp1.CwdAsync();
        return;
    }
    ListCurrentDir();
}

void SessionController::pwdDone()
{
    if (Ftp1.StatusCode() == 257) {
        const std::string& reply = Ftp1.LastResponse();
        const size_t open = reply.find('"');
        const size_t close = open == std::string::npos ? open : reply.find('"', open + 1);
        if (close != std::string::npos)
            Ftp1.HostDirName = reply.substr(open + 1, close - open - 1);
    }
    Ftp1.HostFileName.clear();
    Ftp1.LocalFileName = options_.ListingTempFile;
    Ftp1.TypeAscii();
    Ftp1.DirAsync();
}

void SessionController::listingDone()
{
    if (OperationFlags_.has(ofMirrorRun)) {
        RefreshListingCopy();
        if (OperationFlags_.has(ofUploadParentCwd) || OperationFlags_.has(ofMirrorFlag11))
            return postMirrorMessage(3, 0);
        const int value = OperationFlags_.has(ofMirrorFlag6) ? 1 : OperationFlags_.has(ofMirrorFlag8) ? 2 : 0;
        return postMirrorMessage(1, value);
    }
    if (OperationFlags_.has(ofDownloadTree))
        return continueDownloadChain();
    if (OperationFlags_.has(ofDeleteScan)) {
        deleteScan();
        return deleDone();
    }
    if (OperationFlags_.has(ofUploadTree))
        return continueUploadChain();
    if (!Ftp1.Connected())
        return abortSession();
    ShowListing();
}

void SessionController::rawCommandDone()
{
    if (OperationFlags_.has(ofChmodTree))
        return chmodNext();
    Ftp1.CwdAsync();
}

} // namespace brisk
