#include "tls_front.h"

#include "peer_session.h"

#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <functional>
#include <regex>
#include <stdexcept>
#include <string_view>

namespace brisk::test {
namespace {

using namespace peer_io;

constexpr auto kLimit = std::chrono::seconds(20);

Deadline soon()
{
    return std::chrono::steady_clock::now() + kLimit;
}

struct SslFree {
    void operator()(SSL* ssl) const { SSL_free(ssl); }
};
using SslPtr = std::unique_ptr<SSL, SslFree>;

sockaddr_in loopback(uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

// Repeats a library call on the non-blocking socket, waiting as the library asks; its last result.
template <typename Call>
int settle(SSL* ssl, int fd, int stopFd, Call call)
{
    for (;;) {
        const int n = call();
        if (n > 0)
            return n;
        const int error = SSL_get_error(ssl, n);
        if (error == SSL_ERROR_WANT_READ)
            waitFor(fd, POLLIN, stopFd, soon());
        else if (error == SSL_ERROR_WANT_WRITE)
            waitFor(fd, POLLOUT, stopFd, soon());
        else
            return n;
    }
}

SslPtr acceptTls(SSL_CTX* ctx, int fd, int stopFd)
{
    SslPtr ssl(SSL_new(ctx));
    if (!ssl || SSL_set_fd(ssl.get(), fd) != 1 ||
        settle(ssl.get(), fd, stopFd, [&] { return SSL_accept(ssl.get()); }) != 1)
        throw std::runtime_error("TLS handshake with the client failed");
    return ssl;
}

void writeTls(SSL* ssl, int fd, int stopFd, std::string_view bytes)
{
    if (!bytes.empty() && settle(ssl, fd, stopFd, [&] { return SSL_write(ssl, bytes.data(), int(bytes.size())); }) <= 0)
        throw std::runtime_error("TLS write to the client failed");
}

enum class Ended { Client, Backend };

// Moves bytes both ways until one side ends; what the backend sends passes through `relay` first.
Ended pump(SSL* ssl, int tlsFd, int plainFd, int stopFd, const std::function<void(std::string&)>& relay)
{
    char buffer[64 * 1024];
    for (;;) {
        pollfd fds[3] = {{tlsFd, POLLIN, 0}, {plainFd, POLLIN, 0}, {stopFd, POLLIN, 0}};
        if (SSL_pending(ssl) > 0) {
            fds[0].revents = POLLIN;
        } else {
            const int n = ::poll(fds, 3, int(std::chrono::milliseconds(kLimit).count()));
            if (n < 0)
                continue;
            if (n == 0)
                throw std::runtime_error("nothing moved through the TLS front");
            if (fds[2].revents != 0)
                throw Stopped{};
        }
        if (fds[0].revents != 0) {
            const int n = SSL_read(ssl, buffer, int(sizeof buffer));
            const int error = n > 0 ? SSL_ERROR_NONE : SSL_get_error(ssl, n);
            if (n > 0)
                sendAll(plainFd, std::string_view(buffer, size_t(n)), stopFd, soon());
            else if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE)
                return Ended::Client;
        }
        if (fds[1].revents != 0) {
            const ssize_t n = ::recv(plainFd, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
                return Ended::Backend;
            std::string bytes(buffer, size_t(std::max<ssize_t>(n, 0)));
            relay(bytes);
            writeTls(ssl, tlsFd, stopFd, bytes);
        }
    }
}

// With or without the close alert, then the TCP close once the client has closed too, so that nothing
// left unread turns the close into a reset.
void endData(SSL* ssl, int fd, int stopFd, bool alert)
{
    if (alert)
        SSL_shutdown(ssl);
    ::shutdown(fd, SHUT_WR);
    while (!receiveSome(fd, stopFd, soon()).empty()) {
    }
}

// The clear-text part of explicit TLS: greeting, AUTH TLS, 234.
void greetForAuthTls(int fd, int stopFd)
{
    sendAll(fd, "220 TLS front ready.\r\n", stopFd, soon());
    std::string line;
    while (line.find('\n') == std::string::npos) {
        const std::string bytes = receiveSome(fd, stopFd, soon());
        if (bytes.empty())
            throw std::runtime_error("the client left before AUTH TLS");
        line += bytes;
    }
    if (line != "AUTH TLS\r\n")
        throw std::runtime_error("the client did not ask for TLS");
    sendAll(fd, "234 Proceed with negotiation.\r\n", stopFd, soon());
}

} // namespace

void TlsFront::ContextFree::operator()(ssl_ctx_st* ctx) const
{
    SSL_CTX_free(ctx);
}

TlsFront::TlsFront(uint16_t backendPort, const ServerTls& tls)
    : backendPort_(backendPort), ctx_(SSL_CTX_new(TLS_server_method())),
      data_([this](UniqueFd client) { serveData(std::move(client)); }),
      control_([this](UniqueFd client) { serveControl(std::move(client)); })
{
    if (!ctx_ || SSL_CTX_use_certificate_file(ctx_.get(), tls.certFile.c_str(), SSL_FILETYPE_PEM) != 1 ||
        SSL_CTX_use_PrivateKey_file(ctx_.get(), tls.keyFile.c_str(), SSL_FILETYPE_PEM) != 1)
        throw std::runtime_error("the TLS front cannot use the test certificate");
}

TlsFront::~TlsFront() = default;

void TlsFront::serveControl(UniqueFd client)
{
    try {
        if (explicit_)
            greetForAuthTls(client.get(), control_.stopFd());
        const UniqueFd server(connectTo(loopback(backendPort_), control_.stopFd(), soon()));
        const SslPtr ssl = acceptTls(ctx_.get(), client.get(), control_.stopFd());
        std::string partial;
        pump(ssl.get(), client.get(), server.get(), control_.stopFd(), [&](std::string& bytes) {
            partial += bytes;
            bytes.clear();
            for (size_t end; (end = partial.find('\n')) != std::string::npos; partial.erase(0, end + 1))
                bytes += rewritePassive(partial.substr(0, end + 1));
        });
        SSL_shutdown(ssl.get());
    } catch (const std::runtime_error&) {
    }
}

// The client is sent to the front's data port; the server's port waits for the client's connection.
std::string TlsFront::rewritePassive(const std::string& line)
{
    static const std::regex kPassive(R"(227 .*\(\d+,\d+,\d+,\d+,(\d+),(\d+)\).*\r?\n)");
    std::smatch m;
    if (!std::regex_match(line, m, kPassive))
        return line;
    std::lock_guard lock(mutex_);
    backendDataPorts_.push_back(uint16_t(std::stoi(m[1]) * 256 + std::stoi(m[2])));
    return PeerSession::passiveReply(data_.port());
}

void TlsFront::serveData(UniqueFd client)
{
    try {
        uint16_t port = 0;
        {
            std::lock_guard lock(mutex_);
            if (backendDataPorts_.empty())
                return;
            port = backendDataPorts_.front();
            backendDataPorts_.pop_front();
        }
        const UniqueFd server(connectTo(loopback(port), data_.stopFd(), soon()));
        const SslPtr ssl = acceptTls(ctx_.get(), client.get(), data_.stopFd());
        if (pump(ssl.get(), client.get(), server.get(), data_.stopFd(), [](std::string&) {}) == Ended::Backend)
            endData(ssl.get(), client.get(), data_.stopFd(), closeAlert_);
    } catch (const std::runtime_error&) {
    }
}

} // namespace brisk::test
