#include "session/session_controller.h"

#include "platform/event_loop.h"

namespace brisk {

namespace {

bool isListing(TFtpRequest kind)
{
    return kind == ftpDirAsync || kind == ftpLsAsync || kind == ftpDirectoryAsync || kind == ftpListAsync;
}

} // namespace

// The single router of completions. A chain ending after Stop takes the completion, whatever it
// was; otherwise the request kind, the outcome and the flags decide which chain continues.
void SessionController::Ftp1RequestDone(TFtpRequest kind, uint16_t error)
{
    cTimer_.setEnabled(false);
    if (isListing(kind)) {
        listingLoading_ = false;
        listingBytes_ = 0;
    }
    // A listing refused or cut short (a 550 to LIST included) is a failure, never an empty directory.
    const bool failed = error != 0;
    if (RequestChain* chain = stoppingChain()) {
        if (failed)
            AddLog(msl[msgError] + " " + Ftp1.ErrorMessage());
        chain->stoppedRequestDone(failed);
        chain->finishStop();
    } else if (failed) {
        requestFailed(kind, error);
    } else {
        requestSucceeded(kind);
    }
    // The mark aborts the data transfer that was running when Stop came; no later one.
    if (!stoppingChain())
        abortMark_ = false;
    requestCompleted();
    if (keepAliveChain_ && (error != 0 || isListing(kind)))
        keepAliveChain_ = false;
    changed();
}

void SessionController::requestFailed(TFtpRequest kind, uint16_t error)
{
    // Whatever the path box or an in-place rename started has ended; the box must not stay disabled.
    NavigationBusy_ = false;
    if (OperationFlags_.has(ofMirrorRun))
        return mirror_.send(4, kind);
    if (kind == ftpConnectAsync)
        return connectFailed(error);
    // What a failed or aborted listing left behind is never read; it must not stay on disk.
    if (isListing(kind))
        listing_.remove();
    RequestChain* chain = runningChain();
    if (chain || kind != ftpCwdAsync)
        AddLog(msl[msgError] + " " + Ftp1.ErrorMessage());
    if (chain)
        return chain->failed(kind);
    if (kind == ftpCwdAsync)
        return cwdFailed();
    if (isListing(kind))
        panelListingFailed();
}

void SessionController::requestSucceeded(TFtpRequest kind)
{
    switch (kind) {
    case ftpCwdAsync:
    case ftpMkdAsync:
    case ftpCDupAsync:
        return cwdMkdCdupDone(kind);
    case ftpConnectAsync:
        if (onLoggedIn)
            onLoggedIn();
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
            return mirror_.send(3, 0);
        return transfer_.fileDone();
    case ftpPutAsync:
    case ftpRestPutAsync:
        if (OperationFlags_.has(ofMirrorRun))
            return mirror_.send(3, 0);
        return transfer_.fileDone();
    case ftpRmdAsync:
        return rmdDone();
    case ftpDeleAsync:
        return deleDone();
    case ftpRenAsync:
        if (OperationFlags_.has(ofMirrorRun))
            return mirror_.send(3, 0);
        return rename_.renameDone();
    case ftpQuoteAsync:
        return rawCommandDone();
    default:
        return;
    }
}

void SessionController::cwdFailed()
{
    Ftp1.TypeAscii();
    Ftp1.HostFileName.clear();
    Ftp1.HostDirName = BaseRemoteDir_;
    Ftp1.PwdAsync();
}

void SessionController::cwdMkdCdupDone(TFtpRequest kind)
{
    if (OperationFlags_.has(ofMirrorRun) && kind == ftpMkdAsync)
        return mirror_.send(3, 0);
    if (OperationFlags_.has(ofDeleteRemove))
        return delete_.removeDone();
    if (kind == ftpCwdAsync && OperationFlags_.has(ofUploadTree) && OperationFlags_.has(ofUploadParentCwd))
        return transfer_.uploadParentEntered();
    if (kind == ftpMkdAsync && OperationFlags_.has(ofUploadTree))
        return transfer_.uploadDirMade();
    if (kind == ftpCwdAsync && OperationFlags_.has(ofUploadTree) && transfer_.madeDirEntered())
        return;
    ListCurrentDir();
}

// The panel never shows a listing that did not arrive as this directory's content: it is emptied
// and says why, and the session stays. After Stop (whose abort costs the control connection) or
// with the connection gone, the session ends.
void SessionController::panelListingFailed()
{
    if (abortMark_ || !Ftp1.Connected())
        return Ftp1.AbortAsync();
    ++showGeneration_;   // the steps of an earlier listing still to come are dropped
    pendingRows_ = {};
    remote.clear();
    remote.RebuildPathBox(msl[msgServerList] + " ...", Ftp1.HostName, Ftp1.HostDirName);
    listingError_ = FormatMessage(msl[xmsgListingFailed], {Ftp1.HostDirName, Ftp1.ErrorMessage()});
    ++listingsFailed_;
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
    startPanelListing();
}

void SessionController::listingDone()
{
    if (OperationFlags_.has(ofMirrorRun)) {
        RefreshListingCopy();
        if (OperationFlags_.has(ofUploadParentCwd) || OperationFlags_.has(ofMirrorFlag11))
            return mirror_.send(3, 0);
        const int value = OperationFlags_.has(ofMirrorFlag6) ? 1 : OperationFlags_.has(ofMirrorFlag8) ? 2 : 0;
        return mirror_.send(1, value);
    }
    if (OperationFlags_.has(ofDownloadTree) && transfer_.running())
        return transfer_.listingDone();
    if (OperationFlags_.has(ofDeleteScan))
        return delete_.listingDone();
    if (OperationFlags_.has(ofUploadTree) && transfer_.running())
        return transfer_.listingDone();
    if (!Ftp1.Connected())
        return abortSession();
    ShowListing();
}

void SessionController::rmdDone()
{
    if (OperationFlags_.has(ofMirrorRun)) {
        Ftp1.TypeAscii();
        return mirror_.send(1, 0);
    }
    delete_.dirRemoved();
}

void SessionController::deleDone()
{
    if (OperationFlags_.has(ofMirrorRun))
        return mirror_.send(2, 0);
    delete_.fileDone();
}

void SessionController::rawCommandDone()
{
    if (OperationFlags_.has(ofChmodTree))
        return chmod_.commandDone();
    // The current directory again, which refreshes the panel; at a virtual host's root it has no path.
    if (Ftp1.HostDirName.empty())
        return Ftp1.PwdAsync();
    Ftp1.CwdAsync();
}

} // namespace brisk
