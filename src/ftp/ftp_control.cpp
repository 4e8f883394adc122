#include "ftp/ftp_client.h"

#include "ftp/ftp_reply.h"
#include "platform/ascii.h"
#include "platform/event_loop.h"

#include <algorithm>


namespace brisk {

namespace {

bool IsDownloadRequest(TFtpRequest rq)
{
    return rq == ftpGetAsync || rq == ftpRestGetAsync || rq == ftpReceiveAsync || rq == ftpRestartGetAsync;
}

} // namespace

void TCustomFtpCli::ExecAsync(TFtpRequest rq, const std::string& cmd, std::initializer_list<int> okResponses,
                              Continuation followUp)
{
    if (cmd != "ABOR" && cmd != "STAT" && cmd != "QUIT") {
        if (state_ != fsReady && state_ != fsInternalReady)
            return HandleError("Please wait! The program waits response from FTP host");
        if (!connected_)
            return HandleError("FTP component not connected");
    }
    if (!FtpIsSafeCommandText(cmd))
        return RefuseUnsafeCommand(rq);
    if (!seqRunning_) {
        requestType_ = rq;
        errorMessage_.clear(); // the error of an earlier request is not this one's
    }
    okResponses_.fill(0);
    size_t n = 0;
    for (int code : okResponses)
        if (n < okResponses_.size() - 1)
            okResponses_[n++] = code;
    requestDoneFlag_ = false;
    next_ = &TCustomFtpCli::NextExecAsync;
    followUp_ = followUp;
    SetState(fsWaitingResponse);
    SendCommand(cmd);
}

// Text with a line break or NUL is never sent. The caller hears the usage error, and the request still
// ends, as a failure delivered through the loop, so that whoever waits for its end goes on.
void TCustomFtpCli::RefuseUnsafeCommand(TFtpRequest rq)
{
    if (!seqRunning_)
        requestType_ = rq;
    lastResponse_ = kUnsafeNameReply;
    statusCode_ = 501;
    errorMessage_ = lastResponse_;
    requestResult_ = 501;
    requestDoneFlag_ = false;
    TriggerRequestDone(501);
    HandleError(kUnsafeCommandText);
}

void TCustomFtpCli::SendCommand(std::string cmd)
{
    if (OnCommand)
        OnCommand(this, cmd);
    if (!FtpIsSafeCommandText(cmd)) {
        // A handler put a line break into the command: it is not sent, and the request fails.
        Display("! " + std::string(kUnsafeCommandText));
        EndUnsent(500, "500 " + std::string(kUnsafeCommandText));
        return;
    }
    Display("> " + cmd);
    ++commandsSent_;
    if (startsWithNoCase(cmd, "TYPE") || startsWithNoCase(cmd, "REIN"))
        serverType_ = 0; // known again only once the server confirms (TypeConfirmed)
    if (controlSocket_.State() == wsConnected) {
        controlSocket_.SendStr(cmd + "\r\n");
        return;
    }
    EndUnsent(10057, "500 Socket is not connected (Winsock error #10057)");
}

// Nothing will ever answer a command that was not sent: end the request instead of waiting.
void TCustomFtpCli::EndUnsent(uint16_t error, const std::string& reply)
{
    lastResponse_ = reply;
    statusCode_ = 500;
    SetErrorMessage(lastResponse_);
    requestResult_ = error;
    next_ = nullptr;
    TriggerRequestDone(error);
}


void TCustomFtpCli::ControlSocketDataAvailable(uint16_t error)
{
    const int len = controlSocket_.Receive(replyReader_.writePtr(), int(replyReader_.room()));
    if (requestType_ == ftpRqAbort)
        return;
    if (len <= 0 && error != 0)
        return; // a reset: the socket reports the close itself, with the reason
    if (len == 0) {
        // The peer closed, or a line longer than the buffer left no room: either way the session ends.
        controlSocket_.Close();
        return;
    }
    if (len < 0)
        return;
    replyReader_.commit(size_t(len));
    while (auto line = replyReader_.nextLine(Options & ftpAcceptLF)) {
        lastResponse_ = *line;
        if (OnResponse)
            OnResponse(this);
        HandleReplyLine(*line);
        if (controlSocket_.State() != wsConnected)
            return;
    }
    if (replyReader_.overflowed())
        CloseOnProtocolError("500 Control connection closed: reply line too long");
}

// The server broke the protocol: the session ends, and a request in progress fails with the reason.
void TCustomFtpCli::CloseOnProtocolError(const std::string& reason)
{
    Display("! " + reason);
    if (!requestDoneFlag_ && requestResult_ == 0) {
        lastResponse_ = reason;
        statusCode_ = 500;
        requestResult_ = 500;
        SetErrorMessage(reason);
    }
    controlSocket_.Close();
}

// Inside a multi-line reply ("123-" ... "123 ") only a line with the same code ends it, whatever the
// lines between look like.
bool TCustomFtpCli::EndsReply(const std::string& line)
{
    const int code = FtpReplyCode(line);
    if (!FtpIsReplyLine(line))
        return false;
    const bool final = FtpIsFinalReplyLine(line);
    if (multiLineCode_ != 0) {
        if (code != multiLineCode_ || !final)
            return false;
        multiLineCode_ = 0;
        return true;
    }
    if (!final)
        multiLineCode_ = code;
    return final;
}

void TCustomFtpCli::HandleReplyLine(const std::string& line)
{
    const bool final = EndsReply(line);
    switch (state_) {
    case fsWaitingBanner:
        Display("< " + line);
        return final ? HandleBanner(line) : void();
    case fsWaitingResponse:
        // Every line before the final one goes to the log as it comes (FEAT, HELP, a welcome
        // text); the final line is logged and judged by the continuation.
        if (!final) {
            KeepReplyBody(line);
            return Display("< " + line);
        }
        if (!next_)
            return HandleError("Program error: FNext is nil");
        (this->*next_)();
        return;
    default:
        Display("< " + line);
    }
}

void TCustomFtpCli::HandleBanner(const std::string& line)
{
    const int code = FtpReplyCode(line);
    statusCode_ = code;
    if (code != 220) {
        SetErrorMessage(line);
        requestResult_ = code >= 100 ? code : 500;
        controlSocket_.Close();
        return;
    }
    serverBanner_ = line;
    SetState(fsConnected);
    if (OnSessionConnected)
        OnSessionConnected(this, 0);
    TriggerRequestDone(0);
}

void TCustomFtpCli::NextExecAsync()
{
    Display("< " + lastResponse_);
    statusCode_ = FtpReplyCode(lastResponse_);
    if (ReplyAccepted()) {
        requestResult_ = 0;
    } else {
        // A failing reply must never read as success, whatever number the server put there.
        requestResult_ = statusCode_ >= 100 ? statusCode_ : 500;
        SetErrorMessage(lastResponse_);
    }
    if (requestResult_ == 0 && fctPrv_ == stepSize && FtpSizeResult(lastResponse_) < 0) {
        // Anything else there would be taken for a size.
        requestResult_ = 500;
        SetErrorMessage("500 Malformed SIZE reply: " + lastResponse_);
    }
    if (passive_ && statusCode_ == 227)
        passiveReply_ = lastResponse_;
    if (requestResult_ == 0)
        TakeReplyData();
    if (followUp_ && requestResult_ == 0) {
        Continuation action = followUp_;
        followUp_ = nullptr;
        (this->*action)();
        return;
    }
    TriggerRequestDone(uint16_t(requestResult_));
}

bool TCustomFtpCli::ReplyAccepted() const
{
    if (statusCode_ < 100)
        return false; // "000" is no reply a request can succeed on
    if (okResponses_[0] == 0)
        return statusCode_ < 500;
    for (size_t i = 0; i < okResponses_.size() && okResponses_[i] != 0; ++i)
        if (okResponses_[i] == statusCode_)
            return true;
    return false;
}

void TCustomFtpCli::TakeReplyData()
{
    switch (fctPrv_) {
    case stepSize:
        sizeResult_ = std::max<int64_t>(FtpSizeResult(lastResponse_), 0);
        break;
    case stepCwd: case stepMkd: case stepPwd: case stepCDup:
        dirResult_ = FtpQuotedResult(lastResponse_);
        break;
    default:
        break;
    }
}

void TCustomFtpCli::TriggerRequestDone(uint16_t error)
{
    if (requestDoneFlag_)
        return;
    requestDoneFlag_ = true;
    if (error == 0 && doneAsync_) {
        if (state_ != fsAbort)
            SetState(fsInternalReady);
        (this->*doneAsync_)();
        return;
    }
    SetState(fsReady);
    // A download's expected size was for that download only.
    if (IsDownloadRequest(requestType_)) {
        ExpectedSize = -1;
        AskModifiedTime = true;
    }
    // A failed step ends its sequence: nothing of it may run after the next request's reply.
    doneAsync_ = nullptr;
    steps_ = 0;
    if (dataSocket_.State() != wsClosed)
        dataSocket_.Close();
    if (seqRunning_ && savedStatusCode_ >= 0) {
        lastResponse_ = savedLastResponse_;
        statusCode_ = savedStatusCode_;
    }
    seqRunning_ = false;
    std::weak_ptr<Alive> alive = alive_;
    EventLoop::instance().post([this, alive, error] {
        if (alive.lock())
            DeliverRequestDone(error);
    });
}

void TCustomFtpCli::DeliverRequestDone(uint16_t error)
{
    if (!OnRequestDone)
        return;
    try {
        OnRequestDone(this, requestType_, error);
    } catch (const std::exception& e) {
        bool canClose = true;
        if (OnBgException)
            OnBgException(this, e, canClose);
        else
            Display(std::string("! ") + e.what());
        if (canClose)
            AbortAsync();
    }
}

} // namespace brisk
