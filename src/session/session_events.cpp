#include "session/session_controller.h"

#include "platform/directories.h"
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

void SessionController::Ftp1Progress(int64_t, bool& abort)
{
    abort = abortMark_;
}

void SessionController::Ftp1SessionConnected()
{
    sessionOpen_ = true;
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
    sessionOpen_ = false;
    if (options_.Retry > 0 && ConnectAttempt_ >= 0 && ConnectAttempt_ <= options_.Retry) {
        ++ConnectAttempt_;
        Ftp1.Timeout = 0;
        Ftp1.ConnectAsync();
        AddLog(msl[msgConnectingTo] + formatAttempt(Ftp1.HostName, ConnectAttempt_ + 1));
        return;
    }
    cTimer_.setEnabled(false);
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

void SessionController::StopTransfer()
{
    if (Ftp1.State() == fsDnsLookup || Ftp1.State() == fsWaitingBanner) {
        Ftp1.Abort();
        return;
    }
    OperationFlags_.clear();
    abortMark_ = true;
    busyCursor_ = false;
    changed();
}

void SessionController::abortSession()
{
    Ftp1.Timeout = 1;
    Ftp1.AbortAsync();
    EventLoop::instance().messagePump(0);
}

} // namespace brisk
