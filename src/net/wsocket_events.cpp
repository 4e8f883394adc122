#include "net/wsocket.h"

#include "platform/event_loop.h"
#include "platform/wsa_errors.h"

#include <sys/epoll.h>
#include <sys/socket.h>

#include <cerrno>

namespace brisk {

namespace {
// Rounds of the receive loop per readiness event: data still waiting is read on the next round of the
// event loop, so a fast transfer cannot starve timers and the user interface.
constexpr int kMaxReceiveRounds = 16;

int pendingSocketError(int fd)
{
    int err = 0;
    socklen_t len = sizeof err;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0)
        return errno;
    return err;
}
} // namespace

void TCustomWSocket::watchEvents()
{
    std::weak_ptr<Alive> alive = alive_;
    EventLoop::instance().watch(fd_, 0, [this, alive](uint32_t events) {
        if (alive.lock())
            handleEvents(events);
    });
    updateInterest();
}

void TCustomWSocket::updateInterest()
{
    if (fd_ < 0 || !EventLoop::instance().watching(fd_))
        return;
    uint32_t events = 0;
    if (!paused_) {
        switch (state_) {
        case wsConnecting: events = EPOLLOUT; break;
        case wsListening: events = EPOLLIN; break;
        case wsConnected: events = EPOLLIN | EPOLLRDHUP | (wantWrite_ ? EPOLLOUT : 0u); break;
        default: break;
        }
    }
    EventLoop::instance().modify(fd_, events);
}

void TCustomWSocket::handleEvents(uint32_t events)
{
    if (paused_ || fd_ < 0)
        return;
    const uint64_t connection = connectionId_;
    auto stillSame = [&] { return fd_ >= 0 && connection == connectionId_; };
    runGuarded([&] {
        if (state_ == wsConnecting) {
            uint16_t error = uint16_t(wsaFromErrno(pendingSocketError(fd_)));
            // Reset before the connect was even reported: the connection was made, and its data and its
            // reset are still delivered, in that order, with the close.
            if (error == wsa::ECONNRESET_) {
                carriedError_ = error;
                error = 0;
            }
            finishConnect(error);
            if (!stillSame() || state_ != wsConnected || paused_)
                return;
            events &= ~uint32_t(EPOLLOUT);
        }
        if (state_ == wsListening) {
            if (events & EPOLLIN && OnSessionAvailable)
                OnSessionAvailable(this, 0);
            return;
        }
        if (state_ != wsConnected)
            return;
        const bool closing = events & (EPOLLRDHUP | EPOLLHUP | EPOLLERR);
        const uint16_t error = carriedError_ != 0            ? carriedError_
                               : events & EPOLLERR ? uint16_t(wsaFromErrno(pendingSocketError(fd_)))
                                                   : 0;
        if (events & EPOLLIN && !closing)
            receiveLoop(error, false);
        if (stillSame() && events & EPOLLOUT)
            handleWrite(0);
        if (stillSame() && closing)
            handleClose(error);
    });
}

void TCustomWSocket::finishConnect(uint16_t error)
{
    if (error != 0 && !fallbackAddrs_.empty())
        return connectNextAddress();
    ChangeState(wsConnected);
    updateInterest();
    TriggerSessionConnected(error);
    if (error != 0 && state_ != wsClosed)
        Close();
}

void TCustomWSocket::receiveLoop(uint16_t error, bool untilDrained)
{
    const uint64_t connection = connectionId_;
    int waiting = GetRcvdCount();
    for (int round = 0; untilDrained || round < kMaxReceiveRounds; ++round) {
        TriggerDataAvailable(error);
        if (fd_ < 0 || connection != connectionId_ || (ComponentOptions & wsoNoReceiveLoop))
            return;
        // After a reset the data that came before it is still delivered, all of it, before the close.
        if (error != 0 && !untilDrained)
            return;
        const int left = GetRcvdCount();
        if (left <= 0 || left >= waiting)
            return; // nothing left, or the owner reads no more: do not spin
        waiting = left;
    }
}

void TCustomWSocket::discardWaitingData()
{
    char scratch[1024];
    Receive(scratch, sizeof scratch);
}

void TCustomWSocket::handleClose(uint16_t error)
{
    const uint64_t connection = connectionId_;
    receiveLoop(error, true);
    if (fd_ < 0 || connection != connectionId_)
        return;
    if (!closeReported_) {
        closeReported_ = true;
        TriggerSessionClosed(error);
    }
    if (fd_ >= 0 && connection == connectionId_ && state_ != wsClosed)
        InternalClose(false, error);
}

void TCustomWSocket::runGuarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        bool canClose = true;
        if (!OnBgException)
            throw;
        OnBgException(this, e, canClose);
        if (canClose)
            Close();
    }
}

void TCustomWSocket::TriggerSessionConnected(uint16_t error)
{
    if (OnSessionConnected)
        OnSessionConnected(this, error);
}

// Without a handler the data is read and thrown away, so that a level-triggered event does not spin.
void TCustomWSocket::TriggerDataAvailable(uint16_t error)
{
    if (OnDataAvailable)
        OnDataAvailable(this, error);
    else
        discardWaitingData();
}

void TCustomWSocket::TriggerSessionClosed(uint16_t error)
{
    if (OnSessionClosed)
        OnSessionClosed(this, error);
}

} // namespace brisk
