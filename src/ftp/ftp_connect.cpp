#include "ftp/ftp_client.h"

#include "net/socket_error_text.h"
#include "net/socket_exception.h"
#include "platform/event_loop.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace brisk {

void TCustomFtpCli::OpenAsync()
{
    if (state_ != fsReady && state_ != fsInternalReady)
        return HandleError("Please wait! The program waits response from FTP host");
    if (connected_)
        return HandleError("FTP component already connected");
    if (!seqRunning_) {
        requestType_ = ftpOpenAsync;
        errorMessage_.clear();
    }
    requestDoneFlag_ = false;
    replyReader_.clear();
    multiLineCode_ = 0;
    ForgetServer();
    requestResult_ = 0;
    fctPrv_ = stepOpen;
    ResetTls();
    SetState(fsDnsLookup);
    controlSocket_.DnsLookup(connectionType_ == ftpProxy ? ProxyServer : HostName);
}

// The 500 reply text the engine makes of a socket error.
void TCustomFtpCli::FailConnect(uint16_t error, const std::string& description)
{
    lastResponse_ = "500 " + description + " (Winsock error #" + std::to_string(error) + ")";
    statusCode_ = 500;
    requestResult_ = 500;
    SetErrorMessage(lastResponse_);
}

void TCustomFtpCli::ControlSocketDnsLookupDone(uint16_t error)
{
    if (state_ != fsDnsLookup)
        return;
    if (error != 0) {
        FailConnect(error, WSocketErrorDesc(error));
        TriggerRequestDone(error);
        return;
    }
    StartConnect();
}

void TCustomFtpCli::StartConnect()
{
    const bool viaProxy = connectionType_ == ftpProxy && !ProxyPort.empty();
    try {
        controlSocket_.SetAddr(controlSocket_.DnsResult());
        const std::vector<std::string>& found = controlSocket_.DnsResultList();
        controlSocket_.SetFallbackAddrs({found.begin() + (found.empty() ? 0 : 1), found.end()});
        controlSocket_.SetProto("tcp");
        controlSocket_.SetPort(viaProxy ? ProxyPort : Port);
        SetState(fsWaitingBanner);
        ApplySocksSettings(controlSocket_);
        controlSocket_.Connect();
    } catch (const ESocketException& e) {
        // A port that does not resolve, say: the connect never starts, so the request ends here.
        const uint16_t code = uint16_t(controlSocket_.LastError() ? controlSocket_.LastError() : 10022);
        FailConnect(code, e.what());
        doneAsync_ = nullptr;
        TriggerRequestDone(code);
    }
}

void TCustomFtpCli::ControlSocketSessionConnected(uint16_t error)
{
    if (error != 0) {
        FailConnect(error, WSocketErrorDesc(error));
        doneAsync_ = nullptr;
        TriggerRequestDone(error);
        if (controlSocket_.State() != wsClosed)
            controlSocket_.Close();
        SetState(fsReady);
        return;
    }
    connected_ = true;
    // A command is one small write awaiting its reply: Nagle's algorithm would hold back a command that
    // spans two writes (a TLS record and its rest, say) until the server's delayed acknowledgement.
    const int on = 1;
    ::setsockopt(controlSocket_.Handle(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    if (Security == ftpSecurityImplicit)
        StartControlTls();
}

void TCustomFtpCli::ControlSocketSessionClosed(uint16_t error)
{
    // A reply that will never come: the request fails rather than passing for a success.
    const bool awaitingReply = state_ == fsWaitingBanner || state_ == fsWaitingResponse;
    if (!requestDoneFlag_ && requestResult_ == 0 && awaitingReply && !quitting_) {
        if (error != 0) {
            FailConnect(error, WSocketErrorDesc(error)); // "Connection reset by peer", not a bare close
            requestResult_ = error;
        } else {
            requestResult_ = 421;
            lastResponse_ = "421 Connection closed by the server.";
            statusCode_ = 421;
            SetErrorMessage(lastResponse_);
        }
    }
    if (connected_) {
        connected_ = false;
        if (state_ != fsAbort)
            SetState(fsNotConnected);
        if (OnSessionClosed)
            OnSessionClosed(this, error);
    }
    if (state_ != fsAbort)
        SetState(fsInternalReady);
    if (requestType_ != ftpRqAbort)
        TriggerRequestDone(uint16_t(requestResult_));
}

void TCustomFtpCli::AbortAsync()
{
    const bool wasLookup = state_ == fsDnsLookup;
    SetState(fsAbort);
    EventLoop::instance().cancelTimer(failGraceTimer_);
    failedReply_ = 0;
    DestroyLocalStream();
    // A single request cut short is a failure, never a success; a sequence's runner says so itself.
    if (!requestDoneFlag_ && !doneAsync_ && requestResult_ == 0) {
        requestResult_ = 426;
        SetErrorMessage("426 Operation aborted.");
    }
    if (wasLookup)
        controlSocket_.CancelDnsLookup();
    if (controlSocket_.State() != wsClosed)
        controlSocket_.Close();
    if (dataSocket_.State() != wsClosed)
        dataSocket_.Close();
    DestroyLocalStream();
    connected_ = false;
    // Nothing closed above when the connection was not up yet: the request still ends, once.
    if (!requestDoneFlag_)
        TriggerRequestDone(uint16_t(requestResult_));
    SetState(fsReady);
}

} // namespace brisk
