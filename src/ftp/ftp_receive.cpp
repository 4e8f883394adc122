#include "ftp/ftp_client.h"

#include "ftp/ftp_reply.h"
#include "platform/event_loop.h"
#include "platform/ticks.h"
#include "platform/wsa_errors.h"

#include <string_view>

namespace brisk {

namespace {
constexpr uint64_t kFailGraceMs = 2000;
} // namespace

void TCustomFtpCli::StartReceive(TFtpRequest rq, const std::string& command)
{
    const std::string verb = command.substr(0, 4);
    if (!connected_)
        return HandleError(verb + ": not connected");
    if (LocalFileName.empty() && !DisplayFileFlag)
        return HandleError("LocalFileName empty");
    if (!seqRunning_)
        requestType_ = rq;
    dataCommand_ = command;
    ClearTransferFlags();
    receiving_ = true;
    dataSocket_.OnSessionAvailable = [this](TCustomWSocket*, uint16_t) { ReceiveAccept(); };
    DestroyLocalStream();
    // A download's file is opened, and cut, only when data arrives: a refused request that sent none
    // leaves what was there untouched. A target that cannot be written at all is refused before asking.
    if (!DisplayFileFlag && (!LocalFileWritable(LocalFileName) || !EmptyListingTarget()))
        return FailLocalOpen();
    // Passive: the command follows once the data connection stands, so that a data connection that
    // cannot be made leaves no reply owed to a command the server should never have had.
    if (passive_)
        ConnectDataPassive(&TCustomFtpCli::ReceiveConnected);
    else
        SendReceiveCommand();
}

void TCustomFtpCli::SendReceiveCommand()
{
    SetState(fsWaitingResponse);
    next_ = &TCustomFtpCli::ReceiveFirstReply;
    dataCommandSent_ = true;
    SendCommand(HostFileName.empty() ? dataCommand_ : dataCommand_ + " " + HostFileName);
    DataCommandSent();
}

void TCustomFtpCli::FailLocalOpen()
{
    lastResponse_ = "Unable to open local file " + LocalFileName;
    statusCode_ = 550;
    SetErrorMessage(lastResponse_);
    if (dataSocket_.State() != wsClosed)
        dataSocket_.Close();
    requestResult_ = 550;
    TriggerRequestDone(550);
}

void TCustomFtpCli::ReceiveConnected(uint16_t error)
{
    if (error != 0)
        return DataConnectFailed(error);
    AttachReceiveHandlers();
    SendReceiveCommand();
}

void TCustomFtpCli::ReceiveAccept()
{
    if (!AdoptAcceptedDataConnection())
        return;
    SecureDataConnection();
    AttachReceiveHandlers();
}

// Data is read as it comes, also before the server has answered the command: a server that sends first
// and answers later would otherwise wait for ever once the socket buffers are full. The target is a
// temporary file (or the listing's), so a refused request leaves its bytes only there. A protected
// connection is held until its handshake starts: nothing before it is data.
void TCustomFtpCli::AttachReceiveHandlers()
{
    dataSocket_.OnSessionClosed = [this](TCustomWSocket*, uint16_t e) { ReceiveClosed(e); };
    dataSocket_.OnDataAvailable = [this](TCustomWSocket*, uint16_t) { ReceiveData(); };
    startTime_ = tickCount();
    if (dataTlsWaiting_) {
        dataHeld_ = true;
        dataSocket_.Pause();
    }
}

void TCustomFtpCli::ReceiveFirstReply()
{
    Display("< " + lastResponse_);
    statusCode_ = FtpReplyCode(lastResponse_);
    if (statusCode_ == 150 || statusCode_ == 125) {
        transferAnswered_ = true;
        next_ = &TCustomFtpCli::ReceiveSecondReply;
        AllowDataTls(); // the command is answered: the handshake need wait no longer
        return;
    }
    // The refusal explains whatever the data connection did before it (proftpd resets it, say).
    dataError_ = 0;
    errorMessage_.clear();
    if (RetryListingWithList())
        return;
    ResumeAt = 0;
    TransferFailed(statusCode_);
}

void TCustomFtpCli::ReceiveSecondReply()
{
    Display("< " + lastResponse_);
    statusCode_ = FtpReplyCode(lastResponse_);
    if (statusCode_ == 125 || statusCode_ == 226 || statusCode_ == 250) {
        finalReply_ = true;
        transferReply_ = lastResponse_;
        CheckTransferEnd();
        return;
    }
    const TSocketState data = dataSocket_.State();
    if (dataClosed_ || data == wsClosed || data == wsListening)
        return TransferFailed(statusCode_, frRetrieveFailed);
    // The failing reply may overtake the last data (even the data connection's own connect): let the
    // data connection deliver what it still carries, so that a resume starts as late as possible, but
    // do not wait long for it.
    failedReply_ = statusCode_;
    std::weak_ptr<Alive> alive = alive_;
    failGraceTimer_ = EventLoop::instance().addTimer(kFailGraceMs, [this, alive] {
        if (alive.lock())
            EndFailedReceive();
    });
}

void TCustomFtpCli::EndFailedReceive()
{
    EventLoop::instance().cancelTimer(failGraceTimer_);
    const int code = failedReply_;
    failedReply_ = 0;
    TransferFailed(code, frRetrieveFailed);
}

// One read per call into the engine's buffer; the socket calls again while data waits, a bounded
// number of times per event, so other sockets and timers get their turn.
void TCustomFtpCli::ReceiveData()
{
    if (dataHeld_)
        return; // a SOCKS layer announces its first bytes even to a paused socket; they wait there
    if (!ReportProgress())
        return;
    RateBudget* rate = ReceivingListing() || DisplayFileFlag ? nullptr : DownloadRate.get();
    if (WaitForRate(rate, [this] {
            if (!dataHeld_ && dataSocket_.State() == wsConnected)
                dataSocket_.Resume();
        }))
        return dataSocket_.Pause();
    char* buffer = TransferBuffer();
    const int len = dataSocket_.Receive(buffer, kReceiveBlock);
    if (len > 0 && rate)
        rate->spend(len, tickCount());
    if (len > 0)
        return TakeReceived(buffer, len);
    if (len < 0 && dataSocket_.State() == wsConnected && dataSocket_.LastError() != wsa::EWOULDBLOCK_) {
        const int code = dataSocket_.LastError();
        Display("! " + Remarks.format(frReceiveError, {std::to_string(code)}));
        NoteDataError(code, DataErrorText(code));
        dataSocket_.ShutDown(2);
    }
}

void TCustomFtpCli::TakeReceived(const char* data, int len)
{
    ByteCount += len;
    if (ListingOverLimit()) {
        const std::string text = "552 Listing larger than " + std::to_string(MaxListingSize) + " bytes";
        Display("! " + text);
        NoteDataError(552, text);
        dataSocket_.Close();
        return;
    }
    if (DisplayFileFlag)
        ShowReceivedLines(data, len);
    else
        WriteReceived(data, len);
}

bool TCustomFtpCli::ListingOverLimit() const
{
    return ReceivingListing() && !DisplayFileFlag && MaxListingSize > 0 && ByteCount > MaxListingSize;
}

void TCustomFtpCli::WriteReceived(const char* data, int len)
{
    if (localFailed_)
        return;
    if (!localStream_ && !OpenLocalTarget()) {
        localFailed_ = true;
        Display("! " + Remarks.format(frCannotOpenLocal, {LocalFileName}));
        NoteDataError(550, "550 Unable to open local file " + LocalFileName);
        dataSocket_.Close();
        return;
    }
    if (!localStream_->Write(data, len)) {
        localFailed_ = true;
        Display("! " + Remarks[frCannotWriteLocal]);
        NoteDataError(550, "550 Error writing local file " + LocalFileName);
        dataSocket_.Close();
    }
}

// The local file is cut here, when the first byte is there to replace what it held (or at the resume
// point of a restarted download).
bool TCustomFtpCli::OpenLocalTarget()
{
    targetOpened_ = true;
    localStream_ = ResumeAt > 0 ? LocalFile::Open(LocalFileName, LocalFile::Mode::WriteAt, ResumeAt)
                                : LocalFile::Open(LocalFileName, LocalFile::Mode::CreateTruncate);
    return localStream_ != nullptr;
}

// A download that succeeded without a single byte still leaves its (empty) file.
void TCustomFtpCli::CreateEmptyTarget()
{
    if (!OpenLocalTarget() || !CloseLocalStream())
        NoteDataError(550, "550 Unable to open local file " + LocalFileName);
}

void TCustomFtpCli::ShowReceivedLines(const char* data, int len)
{
    if (!OnDisplayFile)
        return;
    const std::string_view text(data, size_t(len));
    size_t start = text.find_first_not_of("\r\n");
    while (start != std::string_view::npos) {
        const size_t end = text.find_first_of("\r\n", start);
        std::string piece(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        OnDisplayFile(this, piece);
        if (end == std::string_view::npos)
            break;
        start = text.find_first_not_of("\r\n", end);
    }
}

// What the pace held back when the connection ended is still the file's.
void TCustomFtpCli::DrainReceived()
{
    char* buffer = TransferBuffer();
    int len = 0;
    while (!localFailed_ && dataSocket_.State() == wsConnected && (len = dataSocket_.Receive(buffer, kReceiveBlock)) > 0)
        TakeReceived(buffer, len);
}

void TCustomFtpCli::ReceiveClosed(uint16_t error)
{
    if (!dataHeld_)
        DrainReceived();
    if (!CloseLocalStream() && !localFailed_) {
        localFailed_ = true;
        Display("! " + Remarks[frCannotWriteLocal]);
        NoteDataError(550, "550 Error writing local file " + LocalFileName);
    }
    dataClosed_ = true;
    // A protected connection that closed before its handshake carried nothing protected either.
    dataCutShort_ = error == 0 && (dataSocket_.TlsCutShort() || (dataProtected_ && !dataSocket_.TlsEstablished()));
    if (error != 0)
        NoteDataError(error, DataErrorText(error));
    if (failedReply_ != 0)
        return EndFailedReceive();
    CheckTransferEnd();
}

} // namespace brisk
