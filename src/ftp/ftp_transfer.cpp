#include "ftp/ftp_client.h"

#include "net/socket_error_text.h"
#include "platform/event_loop.h"
#include "platform/ticks.h"

namespace brisk {

void TCustomFtpCli::ClearTransferFlags()
{
    finalReply_ = false;
    dataClosed_ = false;
    eof_ = false;
    storAnswered_ = false;
    uploadOpen_ = false;
    failedReply_ = 0;
    requestDoneFlag_ = false;
    ByteCount = 0;
    dataError_ = 0;
    receiving_ = false;
    transferAnswered_ = false;
    dataCutShort_ = false;
    transferReply_.clear();
    dataTlsWaiting_ = false;
    dataTlsDue_ = false;
    dataHeld_ = false;
    paced_ = false;
    EventLoop::instance().cancelTimer(dataTlsTimer_);
    dataCommandSent_ = false;
    targetOpened_ = false;
    localFailed_ = false;
    EventLoop::instance().cancelTimer(owedReplyTimer_);
    ++transferSerial_;
}

// One buffer per engine, made on first use: no allocation per block.
char* TCustomFtpCli::TransferBuffer()
{
    if (transferBuffer_.size() != size_t(kSendBlock))
        transferBuffer_.resize(size_t(kSendBlock));
    return transferBuffer_.data();
}

// Before each read of received data and each block sent; false means stop.
bool TCustomFtpCli::ReportProgress()
{
    if (Timeout > 0)
        timeStop_ = tickCount() + uint64_t(Timeout) * 1000u;
    bool abort = false;
    if (OnProgress)
        OnProgress(this, ByteCount + ResumeAt, abort);
    if (!abort)
        return true;
    Display("! " + Remarks[frAbortRequested]);
    if (dataError_ == 0)
        dataError_ = 426;
    SetErrorMessage("426 Operation aborted.");
    dataSocket_.Close();
    return false;
}

// Over the budget: the transfer moves nothing until the budget allows more, then `resume` runs.
bool TCustomFtpCli::WaitForRate(RateBudget* budget, std::function<void()> resume)
{
    if (!budget || paced_)
        return paced_;
    const uint64_t wait = budget->waitMs(tickCount());
    if (wait == 0)
        return false;
    paced_ = true;
    const uint64_t serial = transferSerial_;
    std::weak_ptr<Alive> alive = alive_;
    EventLoop::instance().addTimer(wait, [this, alive, serial, resume] {
        if (!alive.lock() || serial != transferSerial_)
            return;
        paced_ = false;
        resume();
    });
    return true;
}

// The first failure of the data side is the one reported.
void TCustomFtpCli::NoteDataError(int code, const std::string& text)
{
    if (dataError_ == 0)
        dataError_ = code;
    SetErrorMessage(text);
}

std::string TCustomFtpCli::DataErrorText(int code) const
{
    return "426 Data connection: " + WSocketErrorDesc(code) + " (error #" + std::to_string(code) + ")";
}

// The data connection failed after the command went out: the server still answers that command, and
// its answer must not be taken for the next request's. It is awaited, within Timeout; a server that
// stays silent has lost step with us, so the control connection is closed and the request ends then.
void TCustomFtpCli::AwaitOwedReply()
{
    dataClosed_ = true;
    requestResult_ = dataError_;
    if (Timeout <= 0)
        return;
    std::weak_ptr<Alive> alive = alive_;
    const uint64_t serial = transferSerial_;
    owedReplyTimer_ = EventLoop::instance().addTimer(uint64_t(Timeout) * 1000u, [this, alive, serial] {
        if (!alive.lock() || serial != transferSerial_ || requestDoneFlag_)
            return;
        Display("! " + Remarks.format(frNoReplyAfterDataFailure, {dataCommand_}));
        controlSocket_.Close();
    });
}

void TCustomFtpCli::LogStatistics()
{
    stopTime_ = tickCount();
    const uint64_t elapsed = stopTime_ - startTime_;
    const std::string bytes = std::to_string(ByteCount), seconds = std::to_string(elapsed / 1000);
    if (elapsed == 0)
        return Display("! " + Remarks.format(frStatistics, {bytes, seconds}));
    const int64_t ms = int64_t(elapsed);
    const int64_t rate = ByteCount <= 32767 ? ByteCount * 1000 / ms : (ByteCount / ms) * 1000;
    Display("! " + Remarks.format(frStatisticsRate, {bytes, seconds, std::to_string(rate)}));
}

void TCustomFtpCli::DestroyLocalStream()
{
    localStream_.reset();
}

// Closes the local file; a file that could not be completed fails the transfer.
bool TCustomFtpCli::CloseLocalStream()
{
    if (!localStream_)
        return true;
    const bool ok = localStream_->Close();
    localStream_.reset();
    return ok;
}

// A transfer ends once both its final reply and the close of its data connection are in, in either order.
void TCustomFtpCli::CheckTransferEnd()
{
    if (!finalReply_ || !dataClosed_)
        return;
    if (receiving_ && dataError_ == 0)
        JudgeReceived();
    if (receiving_ && dataError_ == 0 && !DisplayFileFlag && !targetOpened_)
        CreateEmptyTarget();
    EventLoop::instance().cancelTimer(owedReplyTimer_);
    LogStatistics();
    ResumeAt = 0;
    requestResult_ = dataError_;
    TriggerRequestDone(uint16_t(dataError_));
}

// A reply that ends a transfer as a failure before its data connection has finished. A failure the
// data side noticed first is the one reported.
void TCustomFtpCli::TransferFailed(int code, std::optional<FtpRemark> remark)
{
    const int replyCode = code > 0 && code <= 0xFFFF ? code : 500;
    requestResult_ = dataError_ != 0 ? dataError_ : replyCode;
    SetErrorMessage(lastResponse_);
    DestroyLocalStream();
    EventLoop::instance().cancelTimer(owedReplyTimer_);
    if (dataSocket_.State() != wsClosed)
        dataSocket_.Close();
    if (remark)
        Display("! " + Remarks[*remark]);
    TriggerRequestDone(uint16_t(requestResult_));
}

} // namespace brisk
