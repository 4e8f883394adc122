#include "ftp/ftp_client.h"

#include "ftp/ftp_reply.h"
#include "platform/event_loop.h"
#include "platform/ticks.h"

#include <poll.h>
#include <sys/socket.h>

#include <functional>

namespace brisk {

namespace {

constexpr int kCloseWaitMs = 5;
constexpr int kCloseWaitRounds = 400;
constexpr int kFinishWaitMs = 5000; // for the server's close after ours

bool writable(int fd)
{
    pollfd p{fd, POLLOUT, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLOUT) != 0;
}

// A TLS upload ends with a closing alert, which the server needs to take the file as complete; it is
// written straight into the socket's buffer, so the end waits (without blocking, two seconds at most)
// until the buffer has room for it again. Then the server's close is awaited, a while at most.
void CloseWhenWritable(TWSocket& socket, std::function<bool()> stillOurs, int roundsLeft = kCloseWaitRounds)
{
    if (!stillOurs() || socket.State() != wsConnected)
        return;
    if (!socket.TlsEstablished() || roundsLeft == 0)
        return socket.Close();
    if (writable(socket.Handle())) {
        socket.FinishTls();
        EventLoop::instance().addTimer(kFinishWaitMs, [&socket, stillOurs] {
            if (stillOurs() && socket.State() == wsConnected)
                socket.Close();
        });
        return;
    }
    EventLoop::instance().addTimer(kCloseWaitMs, [&socket, stillOurs, roundsLeft] {
        CloseWhenWritable(socket, stillOurs, roundsLeft - 1);
    });
}

} // namespace

void TCustomFtpCli::StartSend(bool append)
{
    if (!connected_)
        return HandleError("STOR/APPE: not connected");
    if (LocalFileName.empty())
        return HandleError("LocalFileName empty");
    // A resumed upload ends as what it was asked as, whether it went as APPE or as REST and STOR.
    if (requestType_ != ftpRestPutAsync)
        requestType_ = append ? ftpAppendAsync : ftpPutAsync;
    append_ = append;
    ClearTransferFlags();
    startTime_ = 0;
    bool cancel = false;
    if (OnReadyToTransmit)
        OnReadyToTransmit(this, cancel);
    if (cancel) {
        errorMessage_ = "426 Transmit cancelled by application";
        statusCode_ = 426;
        Display("! " + errorMessage_);
        requestResult_ = 426;
        TriggerRequestDone(426);
        return;
    }
    dataSocket_.OnSessionAvailable = [this](TCustomWSocket*, uint16_t) { SendAccept(); };
    DestroyLocalStream();
    localStream_ = LocalFile::Open(LocalFileName, LocalFile::Mode::ReadFrom, ResumeAt > 0 ? ResumeAt : 0);
    if (!localStream_) {
        errorMessage_ = "426 Unable to open local file " + LocalFileName;
        statusCode_ = 426;
        Display("! " + errorMessage_);
        if (dataSocket_.State() != wsClosed)
            dataSocket_.Close();
        requestResult_ = 426;
        TriggerRequestDone(426);
        return;
    }
    eof_ = false;
    if (passive_) {
        ConnectDataPassive(&TCustomFtpCli::SendConnected);
        return; // the command follows once the data connection stands
    }
    SetState(fsWaitingResponse);
    next_ = &TCustomFtpCli::SendFirstReply;
    dataCommandSent_ = true;
    SendCommand((append ? "APPE " : "STOR ") + HostFileName);
    DataCommandSent();
}

void TCustomFtpCli::SendConnected(uint16_t error)
{
    if (error != 0)
        return DataConnectFailed(error);
    dataSocket_.OnSessionClosed = [this](TCustomWSocket*, uint16_t e) { SendClosed(e); };
    dataSocket_.SetSendBlockSize(kSendBlock);
    uploadOpen_ = true;
    startTime_ = tickCount();
    SetState(fsWaitingResponse);
    next_ = &TCustomFtpCli::SendFirstReply;
    dataCommandSent_ = true;
    SendCommand((append_ ? "APPE " : "STOR ") + HostFileName);
    DataCommandSent();
}

void TCustomFtpCli::SendAccept()
{
    if (!AdoptAcceptedDataConnection())
        return;
    dataSocket_.OnSessionClosed = [this](TCustomWSocket*, uint16_t e) { SendClosed(e); };
    dataSocket_.OnDataAvailable = [](TCustomWSocket* s, uint16_t) {
        char scratch[2048];
        s->Receive(scratch, sizeof scratch);
    };
    dataSocket_.OnDataSent = [this](TCustomWSocket*, uint16_t e) { SendNextBlock(e); };
    dataSocket_.SetSendBlockSize(kSendBlock);
    int sndbuf = 0;
    socklen_t len = sizeof sndbuf;
    if (getsockopt(dataSocket_.Handle(), SOL_SOCKET, SO_SNDBUF, &sndbuf, &len) != 0)
        return HandleError("winsock.getsockopt(SO_SNDBUF) failed");
    dataSocket_.LingerOnOff = wsLingerOff;
    dataSocket_.LingerTimeout = 10;
    dataSocket_.SetLingerOption();
    uploadOpen_ = true;
    SecureDataConnection();
    if (storAnswered_ && startTime_ == 0)
        PostStartSending();
}

void TCustomFtpCli::PostStartSending()
{
    std::weak_ptr<Alive> alive = alive_;
    EventLoop::instance().post([this, alive] {
        if (!alive.lock())
            return;
        startTime_ = tickCount();
        SendNextBlock(0);
    });
}

void TCustomFtpCli::SendFirstReply()
{
    if (!FtpIsFinalReplyLine(lastResponse_))
        return;
    Display("< " + lastResponse_);
    statusCode_ = FtpReplyCode(lastResponse_);
    if (statusCode_ == 150 || statusCode_ == 125) {
        storAnswered_ = true;
        next_ = &TCustomFtpCli::SendSecondReply;
        AllowDataTls(); // the command is answered: the handshake need wait no longer
        if (passive_) {
            dataSocket_.OnDataSent = [this](TCustomWSocket*, uint16_t e) { SendNextBlock(e); };
            SendNextBlock(0);
        } else if (uploadOpen_ && startTime_ == 0) {
            PostStartSending();
        }
        return;
    }
    if (ResumeWithRestInstead())
        return;
    ResumeAt = 0;
    TransferFailed(statusCode_);
}

void TCustomFtpCli::SendSecondReply()
{
    Display("< " + lastResponse_);
    statusCode_ = FtpReplyCode(lastResponse_);
    if (statusCode_ == 226 || statusCode_ == 250) {
        finalReply_ = true;
        CheckTransferEnd();
        return;
    }
    TransferFailed(statusCode_, frStoreFailed);
}

// One block in flight at a time: the next is read when the socket reports the last one handed over,
// so memory stays bounded by one block whatever the file size, and the loop runs between blocks.
void TCustomFtpCli::SendNextBlock(uint16_t error)
{
    if (!localStream_ || !ReportProgress())
        return;
    if (error != 0) {
        Display("! " + Remarks.format(frSendError, {std::to_string(error)}));
        NoteDataError(error, DataErrorText(error));
        dataSocket_.Close();
        return;
    }
    if (eof_ || !storAnswered_ || !uploadOpen_ || WaitForRate(UploadRate.get(), [this] { SendNextBlock(0); }))
        return;
    char* block = TransferBuffer();
    const int len = localStream_->Read(block, kSendBlock);
    if (len < 0) {
        Display("! " + Remarks[frCannotReadLocal]);
        NoteDataError(426, "426 Error reading file " + LocalFileName);
        dataSocket_.Close();
        return;
    }
    if (len == 0) {
        eof_ = true;
        if (dataSocket_.TlsStarted() && !dataSocket_.TlsEstablished()) {
            // An empty file: the close waits for the handshake, so that the server sees a complete upload.
            dataSocket_.OnTlsDone = [this](TCustomWSocket*, uint16_t error) {
                if (error == 0)
                    dataSocket_.Close();
            };
            return;
        }
        const uint64_t serial = transferSerial_;
        std::weak_ptr<Alive> alive = alive_;
        CloseWhenWritable(dataSocket_, [this, alive, serial] { return alive.lock() && serial == transferSerial_; });
        return;
    }
    ByteCount += len;
    if (UploadRate)
        UploadRate->spend(len, tickCount());
    dataSocket_.Send(block, len);
}

void TCustomFtpCli::SendClosed(uint16_t error)
{
    CloseLocalStream();
    dataClosed_ = true;
    if (error != 0)
        NoteDataError(error, DataErrorText(error));
    // A data connection that ended before the whole file went out is no success.
    if (!eof_ && dataError_ == 0)
        dataError_ = 426;
    CheckTransferEnd();
}


} // namespace brisk
