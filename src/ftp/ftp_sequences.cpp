#include "ftp/ftp_client.h"

#include "ftp/ftp_reply.h"

namespace brisk {

namespace {

constexpr uint32_t bit(TFtpStep s)
{
    return uint32_t(1) << s;
}

constexpr uint32_t kLogin = bit(stepOpen) | bit(stepSecure) | bit(stepUser) | bit(stepPass);

// The order in which pending steps run, whatever order an operation lists them in.
constexpr TFtpStep kStepOrder[] = {
    stepOpen, stepSecure, stepUser, stepPass, stepFeat, stepOptsUtf8, stepOptsMlst, stepCwd, stepCDup, stepTypeSet,
    stepSize, stepPort, stepRest, stepGet, stepPut, stepAppend, stepMdtm, stepMfmt, stepVerifySize, stepDir, stepLs,
    stepSyst, stepMkd, stepRmd, stepRenFrom, stepRenTo, stepDele,
    stepPwd, stepQuote, stepQuit,
};

} // namespace

void TCustomFtpCli::ConnectAsync() { HighLevelAsync(ftpConnectAsync, kLogin | bit(stepFeat) | bit(stepOptsUtf8) | bit(stepOptsMlst)); }
void TCustomFtpCli::ReceiveAsync()
{
    HighLevelAsync(ftpReceiveAsync, kLogin | bit(stepCwd) | bit(stepTypeSet) | bit(stepPort) | bit(stepGet) | bit(stepQuit));
}
void TCustomFtpCli::GetAsync() { HighLevelAsync(ftpGetAsync, bit(stepPort) | bit(stepGet) | bit(stepMdtm)); }
void TCustomFtpCli::RestGetAsync()
{
    HighLevelAsync(ftpRestGetAsync, bit(stepPort) | bit(stepRest) | bit(stepGet) | bit(stepMdtm));
}
void TCustomFtpCli::RestartGetAsync()
{
    HighLevelAsync(ftpRestartGetAsync, kLogin | bit(stepCwd) | bit(stepTypeSet) | bit(stepPort) | bit(stepRest) |
                                           bit(stepGet) | bit(stepQuit));
}
void TCustomFtpCli::PutAsync() { HighLevelAsync(ftpPutAsync, bit(stepPort) | bit(stepPut) | bit(stepMfmt)); }
// The remote file's size first: the upload resumes from its end with APPE, and the size afterwards must
// be the local file's (ftp_resume.cpp).
void TCustomFtpCli::RestPutAsync()
{
    HighLevelAsync(ftpRestPutAsync, bit(stepSize) | bit(stepPort) | bit(stepAppend) | bit(stepMfmt) | bit(stepVerifySize));
}
void TCustomFtpCli::RestartPutAsync()
{
    HighLevelAsync(ftpRestartPutAsync, kLogin | bit(stepCwd) | bit(stepTypeSet) | bit(stepPort) | bit(stepRest) |
                                           bit(stepPut) | bit(stepQuit));
}
void TCustomFtpCli::TransmitAsync()
{
    HighLevelAsync(ftpTransmitAsync, kLogin | bit(stepCwd) | bit(stepTypeSet) | bit(stepPort) | bit(stepPut) | bit(stepQuit));
}
void TCustomFtpCli::AppendAsync() { HighLevelAsync(ftpAppendAsync, bit(stepPort) | bit(stepAppend)); }
void TCustomFtpCli::AppendFileAsync()
{
    HighLevelAsync(ftpTransmitAsync,
                   kLogin | bit(stepCwd) | bit(stepTypeSet) | bit(stepPort) | bit(stepAppend) | bit(stepQuit));
}
void TCustomFtpCli::DirAsync() { HighLevelAsync(ftpDirAsync, bit(stepPort) | bit(stepDir)); }
void TCustomFtpCli::DirectoryAsync()
{
    HighLevelAsync(ftpDirectoryAsync, kLogin | bit(stepCwd) | bit(stepPort) | bit(stepDir) | bit(stepQuit));
}
void TCustomFtpCli::LsAsync() { HighLevelAsync(ftpLsAsync, bit(stepPort) | bit(stepLs)); }
void TCustomFtpCli::ListAsync()
{
    HighLevelAsync(ftpListAsync, kLogin | bit(stepCwd) | bit(stepPort) | bit(stepLs) | bit(stepQuit));
}
void TCustomFtpCli::SystemAsync() { HighLevelAsync(ftpSystemAsync, kLogin | bit(stepSyst) | bit(stepQuit)); }
void TCustomFtpCli::FileSizeAsync() { HighLevelAsync(ftpSizeAsync, kLogin | bit(stepCwd) | bit(stepSize) | bit(stepQuit)); }
void TCustomFtpCli::MkdirAsync() { HighLevelAsync(ftpMkdirAsync, kLogin | bit(stepCwd) | bit(stepMkd) | bit(stepQuit)); }
void TCustomFtpCli::RmdirAsync() { HighLevelAsync(ftpRmdirAsync, kLogin | bit(stepCwd) | bit(stepRmd) | bit(stepQuit)); }
void TCustomFtpCli::DeleteAsync() { HighLevelAsync(ftpDeleteAsync, kLogin | bit(stepCwd) | bit(stepDele) | bit(stepQuit)); }
void TCustomFtpCli::RenAsync() { HighLevelAsync(ftpRenAsync, bit(stepRenFrom) | bit(stepRenTo)); }
void TCustomFtpCli::RenameAsync()
{
    HighLevelAsync(ftpRenameAsync, kLogin | bit(stepCwd) | bit(stepRenFrom) | bit(stepRenTo) | bit(stepQuit));
}
void TCustomFtpCli::DoQuoteAsync() { HighLevelAsync(ftpDoQuoteAsync, kLogin | bit(stepCwd) | bit(stepQuote) | bit(stepQuit)); }

void TCustomFtpCli::HighLevelAsync(TFtpRequest rq, uint32_t steps)
{
    if (connected_ && (steps & bit(stepOpen)))
        return HandleError("FTP component already connected");
    if (state_ != fsReady && state_ != fsInternalReady)
        return HandleError("Please wait! The program waits response from FTP host");
    if (!SequenceArgumentsSafe(steps))
        return RefuseUnsafeCommand(rq);
    savedLastResponse_ = lastResponse_;
    savedStatusCode_ = -1;
    requestType_ = rq;
    requestResult_ = 0;
    steps_ = steps;
    lastStep_ = stepNone;
    seqResult_ = 0;
    seqRunning_ = true;
    remoteModified_ = 0;
    lastResponse_.clear();
    errorMessage_.clear();
    NextStep();
}

// Refused before anything is sent, rather than after half of the sequence has run.
bool TCustomFtpCli::SequenceArgumentsSafe(uint32_t steps) const
{
    constexpr uint32_t kFileSteps = bit(stepSize) | bit(stepMkd) | bit(stepRmd) | bit(stepRenFrom) | bit(stepGet) |
                                    bit(stepPut) | bit(stepAppend) | bit(stepDir) | bit(stepLs) | bit(stepDele);
    const auto uses = [steps](uint32_t mask) { return (steps & mask) != 0; };
    return (!uses(bit(stepUser)) || FtpIsSafeCommandText(UserCommand())) &&
           (!uses(bit(stepPass)) || FtpIsSafeCommandText(PassWord)) &&
           (!uses(bit(stepCwd)) || FtpIsSafeCommandText(HostDirName)) &&
           (!uses(kFileSteps) || FtpIsSafeCommandText(HostFileName)) &&
           (!uses(bit(stepRenTo) | bit(stepQuote)) || FtpIsSafeCommandText(LocalFileName));
}

TFtpStep TCustomFtpCli::PickStep()
{
    for (TFtpStep step : kStepOrder) {
        if (!(steps_ & bit(step)))
            continue;
        steps_ &= ~bit(step);
        if (step == stepPass && lastStep_ == stepUser && statusCode_ != 331)
            continue; // 230 to USER: logged in without a password
        if ((step == stepCwd && HostDirName.empty()) || (step == stepSecure && Security == ftpSecurityPlain))
            continue;
        if (!ServerOffersStep(step) || (step == stepMdtm && !AskModifiedTime) ||
            (step == stepTypeSet && serverType_ == WantedType()))
            continue;
        return step;
    }
    return stepNone;
}

// The sequence continuation: runs when the previous step ended well, and at the start.
void TCustomFtpCli::NextStep()
{
    const bool firstStep = lastStep_ == stepNone;
    if (state_ == fsAbort) {
        steps_ = 0;
        seqResult_ = 426;
        errorMessage_ = "426 Operation aborted.";
    }
    doneAsync_ = &TCustomFtpCli::NextStep;
    TakeReplyData();
    const TFtpStep step = PickStep();
    if (step == stepNone) {
        steps_ = 0;
        doneAsync_ = nullptr;
        requestDoneFlag_ = false;
        TriggerRequestDone(uint16_t(seqResult_));
        return;
    }
    const TFtpStep previous = lastStep_;
    lastStep_ = step;
    usageErrorRaised_ = false;
    try {
        StartStep(step, previous);
    } catch (const std::exception& e) {
        lastUsageError_ = e.what();
        EndSequenceOnUsageError(firstStep);
        if (firstStep)
            throw;
        return;
    }
    if (usageErrorRaised_)
        EndSequenceOnUsageError(firstStep);
}

// A step that refused to start: at the first step the caller has the usage error and nothing started;
// later, inside an event, the sequence ends as a failure instead of stalling. A refusal that ended the
// request itself (unsafe text) leaves nothing to end.
void TCustomFtpCli::EndSequenceOnUsageError(bool firstStep)
{
    steps_ = 0;
    doneAsync_ = nullptr;
    if (firstStep || !seqRunning_) {
        seqRunning_ = false;
        return;
    }
    SetErrorMessage(lastUsageError_);
    requestResult_ = 500;
    requestDoneFlag_ = false;
    TriggerRequestDone(500);
}

void TCustomFtpCli::StartStep(TFtpStep step, TFtpStep previous)
{
    switch (step) {
    case stepOpen: OpenAsync(); break;
    case stepSecure: SecureAsync(); break;
    case stepUser: UserAsync(); break;
    case stepPass: PassAsync(); break;
    case stepCwd: CwdAsync(); break;
    case stepCDup: CDupAsync(); break;
    case stepTypeSet: TypeSetAsync(); break;
    case stepPort: PortStep(); break;
    case stepRest: RestStep(); break;
    case stepGet:
        if (!(previous == stepRest && ResumeAt >= 0 && statusCode_ == 350))
            ResumeAt = 0;
        StartReceive(ftpGetAsync, "RETR");
        break;
    case stepPut: StartSend(false); break;
    case stepAppend: StartSend(true); break;
    case stepDir: StartReceive(ftpDirAsync, ListingCommand()); break;
    case stepLs: StartReceive(ftpLsAsync, "NLST"); break;
    case stepSyst: SystAsync(); break;
    case stepMkd: MkdAsync(); break;
    case stepRmd: RmdAsync(); break;
    case stepRenFrom: RenFromAsync(); break;
    case stepRenTo: RenToAsync(); break;
    case stepSize:
        SizeAsync();
        if (requestType_ == ftpRestPutAsync && state_ == fsWaitingResponse)
            next_ = &TCustomFtpCli::ResumePointReply;
        break;
    case stepVerifySize: VerifyResumedSize(); break;
    case stepDele: DeleAsync(); break;
    case stepPwd: PwdAsync(); break;
    case stepQuote: QuoteAsync(); break;
    case stepFeat:
    case stepOptsUtf8:
    case stepOptsMlst:
    case stepMdtm:
    case stepMfmt: ExtensionStep(step); break;
    case stepQuit:
        savedLastResponse_ = lastResponse_;
        savedStatusCode_ = statusCode_;
        QuitAsync();
        break;
    default: break;
    }
}

// A whole download asks its file's time together with PASV/EPSV: the server answers the two in turn,
// so the time costs no round trip of its own. Only passive and without an FTP proxy, where nothing
// between the two commands can go wrong before the data connection.
void TCustomFtpCli::PortStep()
{
    const bool ahead = (steps_ & bit(stepMdtm)) && AskModifiedTime && requestType_ == ftpGetAsync && passive_ &&
                       connectionType_ != ftpProxy && connected_ && ServerOffersStep(stepMdtm) &&
                       (state_ == fsReady || state_ == fsInternalReady);
    if (!ahead)
        return PortAsync();
    steps_ &= ~bit(stepMdtm);
    SendCommand("MDTM " + HostFileName);
    PortAsync();
    afterPipelined_ = next_;
    next_ = &TCustomFtpCli::TimeAskedAhead;
}

} // namespace brisk
