#include "peer_io.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace brisk::test::peer_io {
namespace {

[[noreturn]] void throwErrno(const std::string& what)
{
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

int millisecondsLeft(Deadline deadline)
{
    if (deadline == kNoDeadline)
        return -1;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

} // namespace

void waitFor(int fd, short events, int stopFd, Deadline deadline)
{
    for (;;) {
        pollfd fds[2] = {{fd, events, 0}, {stopFd, POLLIN, 0}};
        const int n = ::poll(fds, 2, millisecondsLeft(deadline));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throwErrno("poll");
        if (fds[1].revents != 0)
            throw Stopped{};
        if (fds[0].revents != 0)
            return;
        if (n == 0)
            throw std::runtime_error("timed out waiting on the socket");
    }
}

void sendAll(int fd, std::string_view bytes, int stopFd, Deadline deadline)
{
    while (!bytes.empty()) {
        waitFor(fd, POLLOUT, stopFd, deadline);
        const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (n < 0)
            throwErrno("send");
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

std::string receiveSome(int fd, int stopFd, Deadline deadline)
{
    char buf[8192];
    for (;;) {
        waitFor(fd, POLLIN, stopFd, deadline);
        const ssize_t n = ::recv(fd, buf, sizeof buf, MSG_DONTWAIT);
        if (n >= 0)
            return std::string(buf, static_cast<size_t>(n));
        if (errno != EAGAIN && errno != EINTR)
            return {};
    }
}

int listenOnLoopback(uint16_t& port)
{
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (!fd.valid() || ::bind(fd.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0
        || ::listen(fd.get(), 8) != 0
        || ::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        throwErrno("listen on 127.0.0.1");
    port = ntohs(addr.sin_port);
    return fd.release();
}

int listenOnIpv6Loopback(uint16_t& port)
{
    UniqueFd fd(::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in6 addr{};
    addr.sin6_family = AF_INET6;
    addr.sin6_addr = in6addr_loopback;
    socklen_t len = sizeof addr;
    if (!fd.valid() || ::bind(fd.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0
        || ::listen(fd.get(), 8) != 0
        || ::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        throwErrno("listen on ::1");
    port = ntohs(addr.sin6_port);
    return fd.release();
}

int acceptOne(int listenFd, int stopFd, Deadline deadline)
{
    for (;;) {
        waitFor(listenFd, POLLIN, stopFd, deadline);
        const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd >= 0)
            return fd;
        if (errno != EAGAIN && errno != EINTR && errno != ECONNABORTED)
            throwErrno("accept");
    }
}

int connectTo(const sockaddr_in& address, int stopFd, Deadline deadline)
{
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd.valid())
        throwErrno("socket");
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno != EINPROGRESS)
            throwErrno("connect");
        waitFor(fd.get(), POLLOUT, stopFd, deadline);
        int error = 0;
        socklen_t len = sizeof error;
        ::getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &error, &len);
        if (error != 0) {
            errno = error;
            throwErrno("connect");
        }
    }
    return fd.release();
}

} // namespace brisk::test::peer_io

namespace brisk::test {

PeerListener::PeerListener(Serve serve, bool ipv6) : serve_(std::move(serve)), stop_(::eventfd(0, EFD_CLOEXEC))
{
    if (!stop_.valid())
        throw std::runtime_error("eventfd failed");
    listener_.reset(ipv6 ? peer_io::listenOnIpv6Loopback(port_) : peer_io::listenOnLoopback(port_));
    thread_ = std::thread([this] { run(); });
}

PeerListener::~PeerListener()
{
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(stop_.get(), &one, sizeof one);
    thread_.join();
}

void PeerListener::run()
{
    try {
        for (;;)
            serve_(UniqueFd(peer_io::acceptOne(listener_.get(), stop_.get(), peer_io::kNoDeadline)));
    } catch (const peer_io::Stopped&) {
    } catch (const std::exception&) {
        // accept failed: no more clients are served.
    }
}

} // namespace brisk::test
