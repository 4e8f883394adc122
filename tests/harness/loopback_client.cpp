#include "loopback_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace brisk::test {

LoopbackClient::LoopbackClient(uint16_t port, std::chrono::milliseconds limit)
    : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
{
    timeval tv{};
    tv.tv_sec = static_cast<time_t>(limit.count() / 1000);
    tv.tv_usec = static_cast<suseconds_t>(limit.count() % 1000 * 1000);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    if (!fd_.valid() || ::setsockopt(fd_.get(), SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv) != 0
        || ::setsockopt(fd_.get(), SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv) != 0
        || ::connect(fd_.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        throw std::runtime_error("connect to 127.0.0.1:" + std::to_string(port) + ": "
                                 + std::strerror(errno));
}

void LoopbackClient::send(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::send(fd_.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw std::runtime_error(std::string("send: ") + std::strerror(errno));
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

// Reads more into the buffer; false at end of stream (or a reset).
bool LoopbackClient::fill()
{
    char buf[8192];
    for (;;) {
        const ssize_t n = ::recv(fd_.get(), buf, sizeof buf, 0);
        if (n > 0) {
            buffer_.append(buf, static_cast<size_t>(n));
            return true;
        }
        if (n == 0 || errno == ECONNRESET)
            return false;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            throw std::runtime_error("timed out waiting for the server");
        if (errno != EINTR)
            throw std::runtime_error(std::string("recv: ") + std::strerror(errno));
    }
}

std::string LoopbackClient::receiveLine()
{
    size_t end = 0;
    while ((end = buffer_.find('\n')) == std::string::npos) {
        if (!fill())
            return std::exchange(buffer_, {});
    }
    std::string line = buffer_.substr(0, end + 1);
    buffer_.erase(0, end + 1);
    return line;
}

std::string LoopbackClient::receiveAll()
{
    while (fill()) {
    }
    return std::exchange(buffer_, {});
}

} // namespace brisk::test
