#include "net/wsocket.h"

#include "net/socket_error_text.h"
#include "net/socket_exception.h"
#include "net/socket_resolve.h"
#include "platform/event_loop.h"
#include "platform/wsa_errors.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace brisk {

TCustomWSocket::TCustomWSocket() = default;

TCustomWSocket::~TCustomWSocket()
{
    destroying_ = true;
    dnsLookupId_ = 0;
    alive_.reset();
    if (fd_ >= 0)
        closeHandleQuietly();
}

void TCustomWSocket::ChangeState(TSocketState newState)
{
    const TSocketState old = state_;
    state_ = newState;
    if (old != newState && OnChangeState)
        OnChangeState(this, old, newState);
}

void TCustomWSocket::RaiseException(const std::string& msg)
{
    lastErrorMessage_ = msg;
    if (OnError)
        OnError(this);
    else
        throw ESocketException(msg);
}

void TCustomWSocket::SocketError(const std::string& function, int code)
{
    if (code == wsa::ECONNRESET_ || code == wsa::ENOTCONN_) {
        closeHandleQuietly();
        ChangeState(wsClosed);
    }
    lastError_ = code;
    RaiseException("Error " + std::to_string(code) + " in function " + function + "\r\n" + WSocketErrorDesc(code));
}

// --- properties -------------------------------------------------------------------------------------------

void TCustomWSocket::SetAddr(const std::string& value)
{
    if (state_ != wsClosed)
        return RaiseException("Cannot change Addr if not closed");
    addr_ = value;
    addrAssigned_ = true;
    addrResolved_ = false;
    fallbackAddrs_.clear();
}

void TCustomWSocket::SetPort(const std::string& value)
{
    if (state_ != wsClosed)
        return RaiseException("Cannot change Port if not closed");
    port_ = value;
    portAssigned_ = true;
    portResolved_ = false;
}

void TCustomWSocket::SetProto(const std::string& value)
{
    if (state_ != wsClosed)
        return RaiseException("Cannot change Proto if not closed");
    proto_ = value;
    protoResolved_ = false;
    portResolved_ = false;
}

void TCustomWSocket::SetLocalAddr(const std::string& value)
{
    if (state_ != wsClosed)
        return RaiseException("Cannot change LocalAddr if not closed");
    if (value.empty()) {
        localAddr_ = "0.0.0.0";
        return;
    }
    if (!WSocketIsDottedIP(value) && !WSocketIsIPv6(value))
        return RaiseException("SetLocalAddr(): Invalid IP address");
    localAddr_ = value;
}

void TCustomWSocket::SetLocalPort(const std::string& value)
{
    if (state_ != wsClosed)
        return RaiseException("Cannot change LocalPort if not closed");
    localPort_ = value;
    localPortResolved_ = false;
}

void TCustomWSocket::SetSendFlags(int value)
{
    if (value != wsSendNormal && value != wsSendUrgent)
        return RaiseException("Invalid SendFlags");
    sendFlags_ = TSocketSendFlags(value);
}

// --- connect, listen, accept --------------------------------------------------------------------------------

void TCustomWSocket::Connect()
{
    DoConnect();
}

void TCustomWSocket::resolveForConnect(const std::string* viaHost, const std::string* viaPort)
{
    if (!protoResolved_) {
        protoNumber_ = WSocketResolveProto(proto_);
        sockType_ = protoNumber_ == IPPROTO_UDP ? SOCK_DGRAM : SOCK_STREAM;
        protoResolved_ = true;
    }
    const std::string protoName = sockType_ == SOCK_DGRAM ? "udp" : "tcp";
    if (viaPort) {
        sinPort_ = WSocketResolvePort(*viaPort, protoName);
        portResolved_ = false; // what was resolved is not Port
    } else if (!portResolved_) {
        sinPort_ = WSocketResolvePort(port_, protoName);
        portResolved_ = true;
    }
    if (!localPortResolved_) {
        localSinPort_ = WSocketResolvePort(localPort_, protoName);
        localPortResolved_ = true;
    }
    if (viaHost) {
        target_ = WSocketResolveAddress(*viaHost, sinPort_);
        addrResolved_ = false;
    } else if (!addrResolved_) {
        target_ = WSocketResolveAddress(addr_, sinPort_);
        addrResolved_ = true;
    }
    target_.setPort(sinPort_);
}

void TCustomWSocket::DoConnect()
{
    startConnect(nullptr, nullptr);
}

void TCustomWSocket::DoConnectVia(const std::string& host, const std::string& port)
{
    startConnect(&host, &port);
}

void TCustomWSocket::startConnect(const std::string* viaHost, const std::string* viaPort)
{
    if (fd_ >= 0 && state_ != wsClosed)
        return RaiseException("Connect: Socket already in use");
    if (!portAssigned_ || port_.empty())
        return RaiseException("Connect: No Port Specified");
    if (!addrAssigned_ || addr_.empty())
        return RaiseException("Connect: No IP Address Specified");
    if (proto_.empty())
        return RaiseException("Connect: No Protocol Specified");
    if (viaHost)
        fallbackAddrs_.clear(); // they are the destination's, not the proxy's
    try {
        resolveForConnect(viaHost, viaPort);
    } catch (const ESocketException& e) {
        return RaiseException(e.what());
    }
    sendQueue_.clear();
    allSent_ = true;
    createAndConfigure(target_.family(), sockType_);
    if (fd_ < 0)
        return;
    if (sockType_ == SOCK_DGRAM || localSinPort_ != 0 || localAddr_ != "0.0.0.0")
        bindLocal();
    if (fd_ < 0)
        return;
    const bool broadcast = target_.family() == AF_INET &&
                           reinterpret_cast<const sockaddr_in*>(target_.get())->sin_addr.s_addr == INADDR_BROADCAST;
    if (sockType_ == SOCK_DGRAM && broadcast) {
        int on = 1;
        if (setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0)
            return SocketError("setsockopt(SO_BROADCAST)", wsaFromErrno(errno));
    }
    const int rc = ::connect(fd_, target_.get(), target_.length);
    if (sockType_ == SOCK_DGRAM) {
        ChangeState(wsConnected);
        watchEvents();
        TriggerSessionConnected(0);
        return;
    }
    const int err = rc == 0 ? 0 : errno;
    if (err != 0 && err != EINPROGRESS && err != EAGAIN && !isNetworkOutcome(err))
        return SocketError("Connect", wsaFromErrno(err));
    ChangeState(wsConnecting);
    watchEvents();
    if (isNetworkOutcome(err))
        postConnectFailure(uint16_t(wsaFromErrno(err)));
}

bool TCustomWSocket::isNetworkOutcome(int err)
{
    return err == ECONNREFUSED || err == ENETUNREACH || err == EHOSTUNREACH || err == ETIMEDOUT ||
           err == ECONNRESET;
}

// A refusal the system knew at once still reaches the owner as a finished connect, through the loop.
void TCustomWSocket::postConnectFailure(uint16_t error)
{
    std::weak_ptr<Alive> alive = alive_;
    const uint64_t connection = connectionId_;
    EventLoop::instance().post([this, alive, connection, error] {
        if (alive.lock() && connection == connectionId_ && state_ == wsConnecting)
            finishConnect(error);
    });
}

// The next of a name's addresses, when connecting to the one before failed.
void TCustomWSocket::connectNextAddress()
{
    addr_ = fallbackAddrs_.front();
    fallbackAddrs_.erase(fallbackAddrs_.begin());
    addrResolved_ = false;
    closeHandleQuietly();
    ChangeState(wsClosed);
    std::vector<std::string> rest = std::move(fallbackAddrs_);
    try {
        startConnect(nullptr, nullptr);
    } catch (const ESocketException&) {
        // reported below as this address's failed connect
    }
    fallbackAddrs_ = std::move(rest);
    if (state_ != wsConnecting)
        finishConnect(uint16_t(lastError_ != 0 ? lastError_ : wsa::EINVAL_));
}

void TCustomWSocket::createAndConfigure(int family, int sockType)
{
    fd_ = ::socket(family, sockType | SOCK_NONBLOCK | SOCK_CLOEXEC, sockType == SOCK_DGRAM ? IPPROTO_UDP : 0);
    if (fd_ < 0)
        return SocketError("Connect (socket)", wsaFromErrno(errno));
    ++connectionId_;
    carriedError_ = 0;
    ChangeState(wsOpened);
    if (sockType != SOCK_STREAM)
        return;
    int on = 1;
    if (setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0)
        return SocketError("setsockopt(SO_REUSEADDR)", wsaFromErrno(errno));
    SetLingerOption();
    if (setsockopt(fd_, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on) != 0)
        return SocketError("setsockopt(SO_KEEPALIVE)", wsaFromErrno(errno));
}

void TCustomWSocket::bindLocal()
{
    const bool anyLocal = localAddr_ == "0.0.0.0";
    const TSocketAddress local = WSocketResolveAddress(
        anyLocal && target_.family() == AF_INET6 ? std::string("::") : localAddr_, localSinPort_);
    if (::bind(fd_, local.get(), local.length) != 0) {
        lastError_ = wsaFromErrno(errno);
        return RaiseException("winsock.bind failed, error #" + std::to_string(lastError_));
    }
    sockaddr_storage given{};
    if (GetSockName(given) != 0) {
        lastError_ = wsaFromErrno(errno);
        return RaiseException("winsock.getsockname failed, error #" + std::to_string(lastError_));
    }
    const uint16_t port = WSocketAddressPort(reinterpret_cast<sockaddr*>(&given));
    localPort_ = std::to_string(port);
    localSinPort_ = htons(port);
}

void TCustomWSocket::Listen()
{
    auto invalid = [this](const char* msg) {
        lastError_ = wsa::EINVAL_;
        RaiseException(msg);
    };
    if (!portAssigned_ || port_.empty())
        return invalid("listen: port not assigned");
    if (proto_.empty())
        return invalid("listen: protocol not assigned");
    if (!addrAssigned_ || addr_.empty())
        return invalid("listen: address not assigned");
    try {
        if (!protoResolved_) {
            protoNumber_ = WSocketResolveProto(proto_);
            sockType_ = protoNumber_ == IPPROTO_UDP ? SOCK_DGRAM : SOCK_STREAM;
            protoResolved_ = true;
        }
        sinPort_ = WSocketResolvePort(port_, sockType_ == SOCK_DGRAM ? "udp" : "tcp");
        target_ = WSocketResolveAddress(addr_, sinPort_);
    } catch (const ESocketException& e) {
        return RaiseException(e.what());
    }
    fd_ = ::socket(target_.family(), sockType_ | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0)
        return SocketError("socket", wsaFromErrno(errno));
    ++connectionId_;
    ChangeState(wsOpened);
    if (::bind(fd_, target_.get(), target_.length) != 0) {
        const int code = wsaFromErrno(errno);
        closeHandleQuietly();
        ChangeState(wsClosed);
        return SocketError("Bind", code);
    }
    ChangeState(wsBound);
    if (sockType_ == SOCK_DGRAM) {
        ChangeState(wsListening);
        ChangeState(wsConnected);
        watchEvents();
        TriggerSessionConnected(0);
        return;
    }
    if (::listen(fd_, 5) != 0)
        return SocketError("Listen", wsaFromErrno(errno));
    ChangeState(wsListening);
    watchEvents();
}

int TCustomWSocket::Accept()
{
    if (state_ != wsListening) {
        lastError_ = wsa::EINVAL_;
        RaiseException("not a listening socket");
        return -1;
    }
    const int handle = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (handle < 0)
        SocketError("Accept", wsaFromErrno(errno));
    return handle;
}

void TCustomWSocket::Dup(int handle)
{
    if (handle <= 0 || fcntl(handle, F_GETFD) < 0) {
        lastError_ = wsa::EINVAL_;
        return SocketError("Dup", wsa::EINVAL_);
    }
    if (state_ != wsClosed) {
        closeHandleQuietly();
        ChangeState(wsClosed);
    }
    fd_ = handle;
    ++connectionId_;
    carriedError_ = 0;
    fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK);
    sockType_ = SOCK_STREAM;
    SetLingerOption();
    sendQueue_.clear();
    allSent_ = true;
    ChangeState(wsConnected);
    watchEvents();
}

void TCustomWSocket::SetLingerOption()
{
    if (LingerOnOff == wsLingerNoSet)
        return;
    if (fd_ < 0)
        return RaiseException("Cannot set linger option at this time");
    linger l{};
    l.l_onoff = LingerOnOff == wsLingerOn ? 1 : 0;
    l.l_linger = LingerTimeout;
    if (setsockopt(fd_, SOL_SOCKET, SO_LINGER, &l, sizeof l) != 0)
        SocketError("setsockopt(SO_LINGER)", wsaFromErrno(errno));
}

// --- receive ---------------------------------------------------------------------------------------------

int TCustomWSocket::Receive(void* buffer, int len)
{
    if (fd_ < 0) {
        lastError_ = wsa::ENOTCONN_;
        return -1;
    }
    if (len <= 0)
        return 0; // asking for nothing reads as a close, as the control reader expects
    const ssize_t n = ::recv(fd_, buffer, size_t(len), 0);
    if (n < 0) {
        lastError_ = wsaFromErrno(errno);
        if (lastError_ == wsa::ECONNRESET_)
            carriedError_ = uint16_t(lastError_); // the system tells it once: the close reports it
        return -1;
    }
    readCount_ += n;
    return int(n);
}

std::string TCustomWSocket::ReceiveStr()
{
    std::string result;
    const int waiting = GetRcvdCount();
    if (waiting <= 0)
        return result;
    result.resize(size_t(waiting));
    const int n = Receive(result.data(), waiting);
    result.resize(n > 0 ? size_t(n) : 0);
    return result;
}

int TCustomWSocket::GetRcvdCount()
{
    int count = 0;
    if (fd_ < 0 || ioctl(fd_, FIONREAD, &count) != 0)
        return 0;
    return count;
}

// --- close -----------------------------------------------------------------------------------------------

void TCustomWSocket::closeHandleQuietly()
{
    if (fd_ < 0)
        return;
    EventLoop::instance().unwatch(fd_);
    ::close(fd_);
    fd_ = -1;
    wantWrite_ = false;
}

void TCustomWSocket::InternalClose(bool shut, uint16_t error)
{
    if (fd_ < 0) {
        if (state_ != wsClosed)
            ChangeState(wsClosed);
        AssignDefaultValue();
        return;
    }
    if (state_ == wsClosed)
        return;
    if (shut) {
        SendClosingBytes();
        ::shutdown(fd_, SHUT_WR);
    }
    EventLoop::instance().unwatch(fd_);
    const int rc = ::close(fd_);
    fd_ = -1;
    wantWrite_ = false;
    if (rc != 0 && errno != EINTR && errno != EINPROGRESS)
        return SocketError("Disconnect (closesocket)", wsaFromErrno(errno));
    ChangeState(wsClosed);
    if (!destroying_ && !closeReported_) {
        closeReported_ = true;
        TriggerSessionClosed(error);
    }
    // A handler may already have opened a new connection on this object: keep its values then.
    if (state_ == wsClosed && fd_ < 0)
        AssignDefaultValue();
}

void TCustomWSocket::AssignDefaultValue()
{
    addr_.clear();
    port_.clear();
    addrAssigned_ = portAssigned_ = false;
    fallbackAddrs_.clear();
    addrResolved_ = portResolved_ = localPortResolved_ = protoResolved_ = false;
    proto_ = "tcp";
    localAddr_ = "0.0.0.0";
    localPort_ = "0";
    LingerOnOff = wsLingerOn;
    LingerTimeout = 0;
    readCount_ = 0;
    paused_ = false;
    closeReported_ = false;
}

void TCustomWSocket::Close()
{
    InternalClose(true, 0);
}

void TCustomWSocket::Abort()
{
    CancelDnsLookup();
    sendQueue_.clear();
    allSent_ = true;
    if (state_ == wsConnected && sockType_ == SOCK_STREAM && fd_ >= 0) {
        LingerOnOff = wsLingerOff;
        SetLingerOption();
    }
    InternalClose(false, 0);
}

void TCustomWSocket::ShutDown(int how)
{
    if (fd_ >= 0)
        ::shutdown(fd_, how == 0 ? SHUT_RD : how == 1 ? SHUT_WR : SHUT_RDWR);
}

void TCustomWSocket::CloseDelayed()
{
    std::weak_ptr<Alive> alive = alive_;
    EventLoop::instance().post([this, alive] {
        if (alive.lock())
            Close();
    });
}

// A paused socket leaves the event loop altogether: a hang-up or error is reported by epoll even to a
// handle that asks for nothing, and would otherwise wake the loop again and again.
void TCustomWSocket::Pause()
{
    paused_ = true;
    if (fd_ >= 0)
        EventLoop::instance().unwatch(fd_);
}

void TCustomWSocket::Resume()
{
    paused_ = false;
    if (fd_ >= 0 && !EventLoop::instance().watching(fd_))
        watchEvents();
}

void TCustomWSocket::MessagePump()
{
    EventLoop::instance().messagePump(0);
}

// --- peer and local names ----------------------------------------------------------------------------------

std::string TCustomWSocket::GetPeerAddr()
{
    sockaddr_storage peer{};
    socklen_t len = sizeof peer;
    if (fd_ < 0 || getpeername(fd_, reinterpret_cast<sockaddr*>(&peer), &len) != 0)
        return "error";
    return WSocketAddressText(reinterpret_cast<sockaddr*>(&peer));
}

std::string TCustomWSocket::GetPeerPort()
{
    sockaddr_storage peer{};
    socklen_t len = sizeof peer;
    if (fd_ < 0 || getpeername(fd_, reinterpret_cast<sockaddr*>(&peer), &len) != 0)
        return "error";
    return std::to_string(WSocketAddressPort(reinterpret_cast<sockaddr*>(&peer)));
}

int TCustomWSocket::GetSockName(sockaddr_in& name)
{
    socklen_t len = sizeof name;
    if (fd_ < 0)
        return -1;
    return getsockname(fd_, reinterpret_cast<sockaddr*>(&name), &len);
}

int TCustomWSocket::GetSockName(sockaddr_storage& name)
{
    socklen_t len = sizeof name;
    if (fd_ < 0)
        return -1;
    return getsockname(fd_, reinterpret_cast<sockaddr*>(&name), &len);
}

} // namespace brisk
