#include "ftp/ftp_client.h"

#include "ftp/ftp_reply.h"

namespace brisk {

namespace {

constexpr uint32_t bit(TFtpStep s)
{
    return uint32_t(1) << s;
}

// Why a resumed upload sends the whole file after all; empty when it can resume from `remote`.
std::string wholeUploadReason(const FtpRemarks& remarks, int code, int64_t remote, int64_t local, bool binary)
{
    if (!binary)
        return remarks[frAsciiNotResumable];
    if (code == 550)
        return remarks[frRemoteMissing];
    if (code != 213 || remote < 0)
        return remarks.format(frNoRemoteSize, {std::to_string(code)});
    if (remote == 0 || remote >= local)
        return remarks.format(frRemoteNotShorter, {std::to_string(remote)});
    return {};
}

} // namespace

// Inside a sequence, only a 350 moves the start of the transfer: any other answer to REST means the
// whole file, so that a server without REST costs a full transfer, never a failure or a misplaced
// upload.
void TCustomFtpCli::RestStep()
{
    RestAsync();
    if (state_ == fsWaitingResponse)
        next_ = &TCustomFtpCli::RestReply;
}

void TCustomFtpCli::RestReply()
{
    Display("< " + lastResponse_);
    statusCode_ = FtpReplyCode(lastResponse_);
    if (statusCode_ != 350) {
        Display("! " + Remarks[frRestRefused]);
        ResumeAt = 0;
    }
    requestResult_ = 0;
    TriggerRequestDone(0);
}

// The answer to SIZE before a resumed upload: APPE from the remote end when the remote file is shorter
// than the local one, else STOR of the whole file (and nothing to verify afterwards).
void TCustomFtpCli::ResumePointReply()
{
    Display("< " + lastResponse_);
    statusCode_ = FtpReplyCode(lastResponse_);
    const int64_t remote = statusCode_ == 213 ? FtpSizeResult(lastResponse_) : -1;
    const std::string why = wholeUploadReason(Remarks, statusCode_, remote, LocalFileSize(LocalFileName), Binary);
    resumeFrom_ = why.empty() ? remote : 0;
    ResumeAt = resumeFrom_;
    if (!why.empty()) {
        Display("! " + Remarks.format(frNotResumed, {why}));
        steps_ = (steps_ & ~(bit(stepAppend) | bit(stepVerifySize))) | bit(stepPut);
    }
    requestResult_ = 0;
    TriggerRequestDone(0);
}

// A server that does not know APPE gets the resumed upload as REST and STOR, within the same request.
bool TCustomFtpCli::ResumeWithRestInstead()
{
    const bool unknown = statusCode_ == 500 || statusCode_ == 502 || statusCode_ == 504;
    if (!append_ || !seqRunning_ || requestType_ != ftpRestPutAsync || resumeFrom_ <= 0 || !unknown)
        return false;
    Display("! " + Remarks[frAppeRefused]);
    ResumeAt = resumeFrom_;
    dataCommandSent_ = false;
    DestroyLocalStream();
    if (dataSocket_.State() != wsClosed)
        dataSocket_.Close();
    steps_ |= bit(stepPort) | bit(stepRest) | bit(stepPut);
    requestResult_ = 0;
    TriggerRequestDone(0);
    return true;
}

// After a resumed upload the remote file must be as long as the local one; anything else (a server that
// cut the file at REST, an append that went wrong) is a failure, not a success.
void TCustomFtpCli::VerifyResumedSize()
{
    fctPrv_ = stepSize;
    ExecAsync(requestType_, "SIZE " + HostFileName, {});
    if (state_ == fsWaitingResponse)
        next_ = &TCustomFtpCli::ResumedSizeReply;
}

void TCustomFtpCli::ResumedSizeReply()
{
    Display("< " + lastResponse_);
    statusCode_ = FtpReplyCode(lastResponse_);
    const int64_t remote = statusCode_ == 213 ? FtpSizeResult(lastResponse_) : -1;
    const int64_t local = LocalFileSize(LocalFileName);
    if (remote >= 0 && remote == local) {
        requestResult_ = 0;
        TriggerRequestDone(0);
        return;
    }
    SetErrorMessage("426 After the resumed upload the remote file has " +
                    (remote < 0 ? std::string("an unknown size") : std::to_string(remote) + " bytes") +
                    ", the local one " + std::to_string(local));
    Display("! " + errorMessage_);
    requestResult_ = 426;
    TriggerRequestDone(426);
}

} // namespace brisk
