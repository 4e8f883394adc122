#include "ftp/ftp_client.h"

#include "ftp/ftp_reply.h"
#include "platform/event_loop.h"


namespace brisk {

void TCustomFtpCli::ExecAsync(TFtpRequest rq, const std::string& cmd, std::initializer_list<int> okResponses,
                              Continuation followUp)
{
    if (cmd != "ABOR" && cmd != "STAT" && cmd != "QUIT") {
        if (state_ != fsReady && state_ != fsInternalReady)
            return HandleError("Please wait! The program waits response from FTP host");
        if (!connected_)
            return HandleError("FTP component not connected");
    }
    if (!seqRunning_)
        requestType_ = rq;
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

void TCustomFtpCli::SendCommand(std::string cmd)
{
    if (OnCommand)
        OnCommand(this, cmd);
    Display("> " + cmd);
    if (controlSocket_.State() == wsConnected) {
        controlSocket_.SendStr(cmd + "\r\n");
        return;
    }
    // Nothing will ever answer a command that could not be sent: end the request instead of waiting.
    lastResponse_ = "500 Socket is not connected (Winsock error #10057)";
    statusCode_ = 500;
    SetErrorMessage(lastResponse_);
    requestResult_ = 10057;
    next_ = nullptr;
    TriggerRequestDone(10057);
}

void TCustomFtpCli::ControlSocketDataAvailable(uint16_t)
{
    const int len = controlSocket_.Receive(replyReader_.writePtr(), int(replyReader_.room()));
    if (requestType_ == ftpRqAbort)
        return;
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
}

void TCustomFtpCli::HandleReplyLine(const std::string& line)
{
    switch (state_) {
    case fsWaitingBanner:
        return HandleBannerLine(line);
    case fsWaitingResponse:
        if (!FtpIsFinalReplyLine(line))
            return;
        if (!next_)
            return HandleError("Program error: FNext is nil");
        (this->*next_)();
        return;
    default:
        Display("< " + line);
    }
}

void TCustomFtpCli::HandleBannerLine(const std::string& line)
{
    Display("< " + line);
    if (!FtpIsFinalReplyLine(line))
        return;
    const int code = FtpReplyCode(line);
    statusCode_ = code;
    if (code != 220) {
        SetErrorMessage(line);
        requestResult_ = code > 0 && code <= 0xFFFF ? code : 500;
        controlSocket_.Close();
        return;
    }
    SetState(fsConnected);
    if (OnSessionConnected)
        OnSessionConnected(this, 0);
    TriggerRequestDone(0);
}

void TCustomFtpCli::NextExecAsync()
{
    Display("< " + lastResponse_);
    statusCode_ = FtpReplyCode(lastResponse_);
    bool accepted = false;
    if (okResponses_[0] == 0) {
        accepted = statusCode_ < 500;
    } else {
        for (size_t i = 0; i < okResponses_.size() && okResponses_[i] != 0; ++i)
            accepted |= okResponses_[i] == statusCode_;
    }
    if (accepted) {
        requestResult_ = 0;
    } else {
        // A failing reply must never read as success, whatever number the server put there.
        requestResult_ = statusCode_ > 0 && statusCode_ <= 0xFFFF ? statusCode_ : 500;
        SetErrorMessage(lastResponse_);
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

void TCustomFtpCli::TakeReplyData()
{
    switch (fctPrv_) {
    case stepSize:
        sizeResult_ = FtpSizeResult(lastResponse_);
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
