#include "session/session_controller.h"

#include "platform/directories.h"
#include "platform/ascii.h"
#include "platform/event_loop.h"
#include "session/remote_paths.h"


namespace brisk {

namespace {

std::string formatAttempt(const std::string& host, int attempt)
{
    return " " + host + " [Attempt " + std::to_string(attempt) + "]";
}

} // namespace

void SessionController::Ftp1Display(std::string& text)
{
    AddLog(LogPane::DisplayFilter(text));
}

void SessionController::Ftp1Progress(int64_t count, bool& abort)
{
    abort = abortMark_;
    if (transfer_.running() || OperationFlags_.has(ofMirrorRun))
        ui_.Progress().update(count);
}

void SessionController::Ftp1SessionConnected()
{
    phase_ = Phase::Open;
    BaseRemoteDir_ = RemoteDirRule(Ftp1.HostDirName, CurrentSite_.CheckVHost != 0);
    BaseLocalDir_ = WithSlash(currentDirectory());
    SiteListMode_ = false;
    NavigationBusy_ = false;
    remote.clear();
    remote.panel.resetStatus();
    startKeepAlive();
    SetConnectedUI(true);
    ConnectAttempt_ = -1;
    remoteInfoBar_ = true;
    changed();
}

void SessionController::Ftp1SessionClosed()
{
    // A connection closed before the greeting is one failed attempt; the connect request's
    // completion, which always follows, decides on the next one.
    if (phase_ == Phase::Open)
        sessionEnded();
}

void SessionController::connectFailed()
{
    const std::string reply = trimmed(Ftp1.LastResponse());
    AddLog(reply.empty() ? Ftp1.ErrorMessage() : reply);
    abortSession();
    if (phase_ == Phase::Connecting)
        attemptFailed();
    else if (phase_ == Phase::Open && !Ftp1.Connected())
        sessionEnded();   // the login failed and the abort closed the connection without telling
}

void SessionController::attemptFailed()
{
    if (!connectStopped_ && options_.Retry > 0 && ConnectAttempt_ >= 0 && ConnectAttempt_ <= options_.Retry) {
        ++ConnectAttempt_;
        AddLog(msl[msgConnectingTo] + formatAttempt(Ftp1.HostName, ConnectAttempt_ + 1));
        startAttempt();
        return;
    }
    sessionEnded();
}

void SessionController::sessionEnded()
{
    phase_ = Phase::Idle;
    listing_.remove();
    cTimer_.setEnabled(false);
    ui_.Progress().close();
    busyCursor_ = false;
    SiteListMode_ = true;
    NavigationBusy_ = false;
    remote.clear();
    remote.clearPathBox();
    remote.panel.resetStatus();
    siteList.LoadSiteList("");
    siteSelection_ = -1;
    SetConnectedUI(false);
    remoteInfoBar_ = false;
    AddLog(msl[msgConnectionClosed]);
}

void SessionController::Ftp1StateChange()
{
    if (!Ftp1.Connected() && (Ftp1.State() == fsAbort || Ftp1.State() == fsInternalAbort))
        SetConnectedUI(false);
}

void SessionController::Disconnect()
{
    if (Ftp1.State() == fsWaitingResponse && !Ftp1.Connected())
        return;
    cTimer_.setEnabled(false);
    remote.clearPathBox();
    busyCursor_ = true;
    Ftp1.Timeout = 1;
    Ftp1.AbortAsync();
    EventLoop::instance().messagePump(0);
    changed();
}

void SessionController::abortSession()
{
    Ftp1.Timeout = 1;
    Ftp1.AbortAsync();
    EventLoop::instance().messagePump(0);
}

} // namespace brisk
