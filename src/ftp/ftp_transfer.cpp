#include "ftp/ftp_client.h"

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
    Display("! Abort requested");
    if (dataError_ == 0)
        dataError_ = 426;
    SetErrorMessage("426 Operation aborted.");
    dataSocket_.Close();
    return false;
}

void TCustomFtpCli::LogStatistics()
{
    stopTime_ = tickCount();
    const uint64_t elapsed = stopTime_ - startTime_;
    std::string text = std::to_string(ByteCount) + " bytes received/sent in " + std::to_string(elapsed / 1000) + " seconds";
    if (elapsed != 0) {
        const int64_t ms = int64_t(elapsed);
        const int64_t rate = ByteCount <= 32767 ? ByteCount * 1000 / ms : (ByteCount / ms) * 1000;
        text += " (" + std::to_string(rate) + " Bytes/sec)";
    }
    Display("! " + text);
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
    LogStatistics();
    ResumeAt = 0;
    requestResult_ = dataError_;
    TriggerRequestDone(uint16_t(dataError_));
}

// A reply that ends a transfer as a failure before its data connection has finished.
void TCustomFtpCli::TransferFailed(int code, const char* remark)
{
    requestResult_ = code > 0 && code <= 0xFFFF ? code : 500;
    SetErrorMessage(lastResponse_);
    DestroyLocalStream();
    if (dataSocket_.State() != wsClosed)
        dataSocket_.Close();
    if (remark)
        Display(remark);
    TriggerRequestDone(uint16_t(requestResult_));
}

} // namespace brisk
