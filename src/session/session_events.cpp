#include "session/session_controller.h"

#include "platform/directories.h"
#include "platform/ascii.h"
#include "session/connection_failure.h"
#include "session/remote_paths.h"


namespace brisk {

namespace {

std::string formatAttempt(const MainMessages& msl, const std::string& host, int attempt)
{
    return " " + host + " " + FormatMessage(msl[xmsgAttempt], {std::to_string(attempt)});
}

// Names what the attempt connected to: the server, or the proxy in between.
std::string failureText(const MainMessages& msl, const TFTPOptions& options, const TFtpClient& ftp, uint16_t error)
{
    std::string host = ftp.HostName, port = ftp.Port;
    if (options.ConnectionType == ftpProxy && !options.ProxyPort.empty()) {
        host = options.ProxyServer;
        port = options.ProxyPort;
    } else if (options.ConnectionType >= ftpSocks4 && options.ConnectionType <= ftpSocks5) {
        host = options.SocksServer;
        port = options.SocksPort;
    }
    return ConnectionFailureText(msl, host, port == "ftp" ? "21" : port, error);
}

// "500 TLS is required, ..." as the user reads it.
std::string withoutReplyCode(const std::string& reply)
{
    return reply.size() > 4 ? reply.substr(4) : reply;
}

} // namespace

void SessionController::Ftp1Display(std::string& text)
{
    AddLog(LogPane::DisplayFilter(text));
}

void SessionController::Ftp1Progress(int64_t count, bool& abort)
{
    abort = abortMark_;
    if (transfer_.running() || (operation_ && operation_->running()))
        ui_.Progress().update(count);
    else if (listingLoading_)
        listingProgress(count);
}

// A long listing shows how far it has come, a redraw per mebibyte at most.
void SessionController::listingProgress(int64_t count)
{
    constexpr int64_t kStep = 1 << 20;
    const bool redraw = count / kStep != listingBytes_ / kStep;
    listingBytes_ = count;
    if (redraw)
        changed();
}

void SessionController::Ftp1SessionConnected()
{
    phase_ = Phase::Open;
    BaseRemoteDir_ = RemoteDirRule(connection_.dir(), CurrentSite_.CheckVHost != 0);
    BaseLocalDir_ = WithSlash(currentDirectory());
    SiteListMode_ = false;
    NavigationBusy_ = false;
    remote.clear();
    listingError_.clear();
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

void SessionController::connectFailed(uint16_t error)
{
    const std::string reply = trimmed(Ftp1.LastResponse());
    AddLog(reply.empty() ? Ftp1.ErrorMessage() : reply);
    const bool loginRefused = phase_ == Phase::Open && Ftp1.StatusCode() == 530;
    abortSession();
    if (error == kTlsFailed) {
        // Refused TLS or a refused certificate: another attempt would end the same way.
        if (phase_ != Phase::Idle)
            sessionEnded();
        if (!connectStopped_)
            ui_.ShowError(msl[xmsgConnectionFailed], withoutReplyCode(Ftp1.ErrorMessage()));
        return;
    }
    if (phase_ == Phase::Connecting)
        attemptFailed(error);
    else if (phase_ == Phase::Open && !Ftp1.Connected())
        sessionEnded();   // the login failed and the abort closed the connection without telling
    if (loginRefused)
        post([this, reply] { askPasswordAgain(reply); });
}

void SessionController::attemptFailed(uint16_t error)
{
    if (!connectStopped_ && options_.Retry > 0 && ConnectAttempt_ >= 0 && ConnectAttempt_ <= options_.Retry) {
        ++ConnectAttempt_;
        AddLog(msl[msgConnectingTo] + formatAttempt(msl, Ftp1.HostName, ConnectAttempt_ + 1));
        startAttempt();
        return;
    }
    sessionEnded();
    if (!connectStopped_)
        ui_.ShowError(msl[xmsgConnectionFailed], failureText(msl, options_, Ftp1, error));
}

// A refused login asks again, showing what the server said; an anonymous login has nothing to ask.
void SessionController::askPasswordAgain(const std::string& reply)
{
    if (!SiteListMode_ || Ftp1.Connected() || Ftp1.State() != fsReady)
        return;
    if (CurrentSite_.Anonymous) {
        ui_.ShowError(msl[xmsgConnectionFailed], reply);
        return;
    }
    PromptRequest request;
    request.title = msl[msgEnterPassword];
    request.label = reply + "\n" + msl[msgPassword] + ":";
    request.masked = true;
    std::string answer;
    if (!ui_.InputPrompt(request, answer))
        return;
    Ftp1.PassWord = answer;
    startConnect();
}

void SessionController::sessionEnded()
{
    phase_ = Phase::Idle;
    listing_.remove();
    cTimer_.setEnabled(false);
    ui_.Progress().close();
    busyCursor_ = false;
    listingLoading_ = false;
    listingBytes_ = 0;
    pendingRows_ = {};
    SiteListMode_ = true;
    NavigationBusy_ = false;
    remote.clear();
    listingError_.clear();
    remote.clearPathBox();
    remote.panel.resetStatus();
    sites.showRoot();
    if (ConnectAttempt_ >= 0)
        sites.reselectSite(openedFolder_, openedCaption_);
    SetConnectedUI(false);
    remoteInfoBar_ = false;
    AddLog(msl[msgConnectionClosed]);
    if (onSessionEnded)
        onSessionEnded();
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
    changed();
}

void SessionController::abortSession()
{
    Ftp1.Timeout = 1;
    Ftp1.AbortAsync();
}

} // namespace brisk
