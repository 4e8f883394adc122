#include "ftp/ftp_client.h"

#include "ftp/ftp_reply.h"
#include "platform/event_loop.h"
#include "platform/ticks.h"
#include "platform/wsa_errors.h"

#include <sys/socket.h>

namespace brisk {

namespace {
constexpr int kReceiveBlock = 2048;
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
    dataSocket_.OnSessionAvailable = [this](TCustomWSocket*, uint16_t) { ReceiveAccept(); };
    if (!DisplayFileFlag) {
        DestroyLocalStream();
        localStream_ = ResumeAt > 0 ? LocalFile::Open(LocalFileName, LocalFile::Mode::WriteAt, ResumeAt)
                                    : LocalFile::Open(LocalFileName, LocalFile::Mode::CreateTruncate);
        if (!localStream_) {
            lastResponse_ = "Unable to open local file " + LocalFileName;
            statusCode_ = 550;
            SetErrorMessage(lastResponse_);
            if (dataSocket_.State() != wsClosed)
                dataSocket_.Close();
            requestResult_ = 550;
            TriggerRequestDone(550);
            return;
        }
    }
    if (passive_ && !ConnectDataPassive(&TCustomFtpCli::ReceiveConnected))
        return;
    SetState(fsWaitingResponse);
    next_ = &TCustomFtpCli::ReceiveFirstReply;
    SendCommand(HostFileName.empty() ? command : command + " " + HostFileName);
}

void TCustomFtpCli::ReceiveConnected(uint16_t error)
{
    if (error != 0)
        return DataConnectFailed(error);
    dataSocket_.OnSessionClosed = [this](TCustomWSocket*, uint16_t e) { ReceiveClosed(e); };
    dataSocket_.OnDataAvailable = [this](TCustomWSocket*, uint16_t) { ReceiveData(); };
    startTime_ = tickCount();
}

void TCustomFtpCli::ReceiveAccept()
{
    if (!AdoptAcceptedDataConnection())
        return;
    dataSocket_.OnSessionClosed = [this](TCustomWSocket*, uint16_t e) { ReceiveClosed(e); };
    dataSocket_.OnDataAvailable = [this](TCustomWSocket*, uint16_t) { ReceiveData(); };
    startTime_ = tickCount();
}

void TCustomFtpCli::ReceiveFirstReply()
{
    Display("< " + lastResponse_);
    statusCode_ = FtpReplyCode(lastResponse_);
    if (statusCode_ == 150 || statusCode_ == 125) {
        next_ = &TCustomFtpCli::ReceiveSecondReply;
        return;
    }
    ResumeAt = 0;
    TransferFailed(statusCode_, nullptr);
}

void TCustomFtpCli::ReceiveSecondReply()
{
    Display("< " + lastResponse_);
    statusCode_ = FtpReplyCode(lastResponse_);
    if (statusCode_ == 125 || statusCode_ == 226 || statusCode_ == 250) {
        finalReply_ = true;
        CheckTransferEnd();
        return;
    }
    const TSocketState data = dataSocket_.State();
    if (dataClosed_ || data == wsClosed || data == wsListening)
        return TransferFailed(statusCode_, "! RETR/LIST/NLST Failed");
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
    TransferFailed(code, "! RETR/LIST/NLST Failed");
}

void TCustomFtpCli::ReceiveData()
{
    if (!ReportProgress())
        return;
    char buffer[kReceiveBlock];
    const int len = dataSocket_.Receive(buffer, sizeof buffer);
    if (len > 0) {
        ByteCount += len;
        if (localStream_ && !localStream_->Write(buffer, len)) {
            Display("! Error writing local file");
            dataError_ = 550;
            SetErrorMessage("550 Error writing local file " + LocalFileName);
            dataSocket_.ShutDown(2);
        }
        if (DisplayFileFlag && OnDisplayFile) {
            size_t start = 0;
            const std::string data(buffer, size_t(len));
            while (start < data.size()) {
                const size_t end = data.find_first_of("\r\n", start);
                std::string piece = data.substr(start, end == std::string::npos ? std::string::npos : end - start);
                if (!piece.empty())
                    OnDisplayFile(this, piece);
                if (end == std::string::npos)
                    break;
                start = data.find_first_not_of("\r\n", end);
                if (start == std::string::npos)
                    break;
            }
        }
        return;
    }
    if (len < 0 && dataSocket_.State() == wsConnected && dataSocket_.LastError() != wsa::EWOULDBLOCK_) {
        Display("! Data: Receive error " + std::to_string(dataSocket_.LastError()));
        if (dataError_ == 0)
            dataError_ = dataSocket_.LastError();
        dataSocket_.ShutDown(2);
    }
}

void TCustomFtpCli::ReceiveClosed(uint16_t error)
{
    if (!CloseLocalStream() && dataError_ == 0) {
        Display("! Error writing local file");
        dataError_ = 550;
        SetErrorMessage("550 Error writing local file " + LocalFileName);
    }
    dataClosed_ = true;
    if (error != 0)
        dataError_ = error;
    if (failedReply_ != 0)
        return EndFailedReceive();
    CheckTransferEnd();
}


} // namespace brisk
