#include "net/wsocket.h"

#include "platform/event_loop.h"
#include "platform/wsa_errors.h"

#include <sys/socket.h>

#include <cerrno>

namespace brisk {

int TCustomWSocket::Send(const void* data, int len)
{
    if (state_ != wsConnected) {
        lastError_ = wsa::ENOTCONN_;
        SocketError("Send", wsa::ENOTCONN_);
        return -1;
    }
    allSent_ = false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    int left = len;
    while (left > 0) {
        if (sendQueue_.empty() || sendQueue_.back().Full())
            sendQueue_.push_back(newSendBlock());
        const int taken = sendQueue_.back().Write(bytes, left);
        bytes += taken;
        left -= taken;
    }
    tryToSend();
    if (sendQueue_.empty() || allSent_)
        postWriteNotification();
    return len;
}

int TCustomWSocket::SendStr(const std::string& text)
{
    return Send(text.data(), int(text.size()));
}

void TCustomWSocket::tryToSend()
{
    if (fd_ < 0 || sendQueue_.empty())
        return;
    const int flags = MSG_NOSIGNAL | (sendFlags_ == wsSendUrgent ? MSG_OOB : 0);
    while (!sendQueue_.empty()) {
        int len = 0;
        const uint8_t* data = sendQueue_.front().Peek(len);
        if (len <= 0) {
            const bool last = sendQueue_.size() == 1;
            dropFrontBlock();
            if (last) {
                allSent_ = true;
                break;
            }
            continue;
        }
        const ssize_t sent = ::send(fd_, data, size_t(len), flags);
        if (sent < 0) {
            const int code = wsaFromErrno(errno);
            if (code == wsa::EWOULDBLOCK_)
                break;
            if (code == wsa::ECONNRESET_ || code == wsa::ENOTSOCK_ || code == wsa::ENOTCONN_ ||
                code == wsa::EINVAL_ || code == wsa::ECONNABORTED_) {
                closeReported_ = true;
                InternalClose(false, uint16_t(code));
                TriggerSessionClosed(uint16_t(code));
                return;
            }
            return SocketError("TryToSend failed", code);
        }
        if (OnSendData)
            OnSendData(this, int(sent));
        sendQueue_.front().Remove(int(sent));
        if (sent < len || sent == 0)
            break;
    }
    if (sendQueue_.size() == 1 && sendQueue_.front().Unread() == 0) {
        dropFrontBlock();
        allSent_ = true;
    }
    wantWrite_ = !sendQueue_.empty();
    updateInterest();
}

TBuffer TCustomWSocket::newSendBlock()
{
    if (!spareBlock_.empty() && spareBlock_.back().Size() == sendBlockSize_) {
        TBuffer block = std::move(spareBlock_.back());
        spareBlock_.clear();
        return block;
    }
    return TBuffer(sendBlockSize_);
}

// Small default blocks are cheap to make again; a large one is kept for the next piece.
void TCustomWSocket::dropFrontBlock()
{
    TBuffer& front = sendQueue_.front();
    if (front.Size() > TBuffer::kDefaultSize && spareBlock_.empty()) {
        front.Reset();
        spareBlock_.push_back(std::move(front));
    }
    sendQueue_.pop_front();
}

void TCustomWSocket::handleWrite(uint16_t error)
{
    tryToSend();
    if (fd_ >= 0 && sendQueue_.empty())
        TriggerDataSent(error);
}

void TCustomWSocket::TriggerDataSent(uint16_t error)
{
    if (OnDataSent)
        OnDataSent(this, error);
}

// The queue emptied inside Send: OnDataSent still arrives through the loop, never inside the caller's Send.
void TCustomWSocket::postWriteNotification()
{
    std::weak_ptr<Alive> alive = alive_;
    const uint64_t connection = connectionId_;
    EventLoop::instance().post([this, alive, connection] {
        if (alive.lock() && connection == connectionId_ && state_ == wsConnected)
            runGuarded([this] { handleWrite(0); });
    });
}

} // namespace brisk
