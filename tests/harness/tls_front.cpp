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
#include <thread>

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

SslPtr acceptTls(SSL_CTX* ctx, int fd, int stopFd, bool tls12 = false)
{
    SslPtr ssl(SSL_new(ctx));
    if (ssl && tls12)
        SSL_set_max_proto_version(ssl.get(), TLS1_2_VERSION);
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

using Relay = std::function<void(std::string&)>;

// Moves bytes both ways until one side ends; what the backend sends passes through `relay` first, what
// the client sends through `fromClient`.
Ended pump(SSL* ssl, int tlsFd, int plainFd, int stopFd, const Relay& relay, const Relay& fromClient = {})
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
            if (n > 0) {
                std::string bytes(buffer, size_t(n));
                if (fromClient)
                    fromClient(bytes);
                sendAll(plainFd, bytes, stopFd, soon());
            } else if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE)
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

SSL_CTX* serverContext(const ServerTls& tls)
{
    SSL_CTX* ctx = SSL_CTX_new(TLS_server_method());
    if (!ctx || SSL_CTX_use_certificate_file(ctx, tls.certFile.c_str(), SSL_FILETYPE_PEM) != 1 ||
        SSL_CTX_use_PrivateKey_file(ctx, tls.keyFile.c_str(), SSL_FILETYPE_PEM) != 1) {
        SSL_CTX_free(ctx);
        throw std::runtime_error("the TLS front cannot use the test certificate");
    }
    return ctx;
}

// Whole lines through `rewrite`, a partial one kept in `partial` for the next bytes.
Relay byLine(std::string& partial, std::function<std::string(const std::string&)> rewrite)
{
    return [&partial, rewrite](std::string& bytes) {
        partial += bytes;
        bytes.clear();
        for (size_t end; (end = partial.find('\n')) != std::string::npos; partial.erase(0, end + 1))
            bytes += rewrite(partial.substr(0, end + 1));
    };
}

} // namespace

// A record after the client's close alert, then our end; a reset instead of the client's close is
// counted (the system reports it as EPIPE when it comes before our end). The server behind sees the data connection end only then.
void TlsFront::answerClientClose(ssl_st* ssl, int fd, int stopFd)
{
    try {
        writeTls(ssl, fd, stopFd, "after the close alert");
    } catch (const std::runtime_error&) {
        return void(++resets_); // the reset came before the record went
    }
    ::shutdown(fd, SHUT_WR);
    for (;;) {
        waitFor(fd, POLLIN, stopFd, soon());
        char buffer[4096];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == ECONNRESET || errno == EPIPE))
            return void(++resets_);
        if (n < 0)
            return;
        if (n == 0)
            break;
    }
    // The reset a closed socket answers our record with may follow the client's end of stream.
    for (int round = 0; round < 20; ++round) {
        int error = 0;
        socklen_t len = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) == 0 && (error == ECONNRESET || error == EPIPE))
            return void(++resets_);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// Asks for a new handshake and waits for its end before anything is relayed; a client that refuses
// it makes the library end the connection.
void TlsFront::renegotiate(ssl_st* ssl, int fd, int stopFd)
{
    if (SSL_renegotiate(ssl) != 1 || settle(ssl, fd, stopFd, [&] { return SSL_do_handshake(ssl); }) != 1)
        throw std::runtime_error("the TLS front could not ask for a new handshake");
    while (SSL_renegotiate_pending(ssl) == 1) {
        waitFor(fd, POLLIN, stopFd, soon());
        char byte = 0;
        const int n = SSL_read(ssl, &byte, 1);
        if (n > 0 || SSL_get_error(ssl, n) != SSL_ERROR_WANT_READ)
            throw std::runtime_error("the client did not take a new handshake");
    }
    ++renegotiations_;
}

void TlsFront::ContextFree::operator()(ssl_ctx_st* ctx) const
{
    SSL_CTX_free(ctx);
}

TlsFront::TlsFront(uint16_t backendPort, const ServerTls& tls, const ServerTls* dataTls)
    : backendPort_(backendPort), ctx_(serverContext(tls)), dataCtx_(dataTls ? serverContext(*dataTls) : nullptr),
      data_([this](UniqueFd client) { serveData(std::move(client)); }),
      control_([this](UniqueFd client) { serveControl(std::move(client)); })
{
}

TlsFront::~TlsFront() = default;

void TlsFront::serveControl(UniqueFd client)
{
    try {
        if (explicit_)
            greetForAuthTls(client.get(), control_.stopFd());
        const UniqueFd server(connectTo(loopback(backendPort_), control_.stopFd(), soon()));
        const SslPtr ssl = acceptTls(ctx_.get(), client.get(), control_.stopFd(), renegotiate_);
        std::string fromServer, fromClient;
        pump(ssl.get(), client.get(), server.get(), control_.stopFd(),
             byLine(fromServer, [this](const std::string& line) { return rewritePassive(line); }),
             byLine(fromClient, [this](const std::string& line) { return rewriteActive(line); }));
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

// The server is sent to the front's data port; the client's port waits for the front's connection.
std::string TlsFront::rewriteActive(const std::string& line)
{
    static const std::regex kActive(R"(PORT \d+,\d+,\d+,\d+,(\d+),(\d+)\r?\n)");
    std::smatch m;
    if (!std::regex_match(line, m, kActive))
        return line;
    std::lock_guard lock(mutex_);
    clientDataPorts_.push_back(uint16_t(std::stoi(m[1]) * 256 + std::stoi(m[2])));
    const uint16_t port = data_.port();
    return "PORT 127,0,0,1," + std::to_string(port / 256) + "," + std::to_string(port % 256) + "\r\n";
}

// Passive: the client connected here, and the server's port waits for the end of the handshake.
// Active: the server connected here, and the client's port waits. Either way the client is the TLS client.
void TlsFront::serveData(UniqueFd accepted)
{
    try {
        uint16_t port = 0;
        bool active = false;
        {
            std::lock_guard lock(mutex_);
            active = !clientDataPorts_.empty();
            std::deque<uint16_t>& ports = active ? clientDataPorts_ : backendDataPorts_;
            if (ports.empty())
                return;
            port = ports.front();
            ports.pop_front();
        }
        const int stop = data_.stopFd();
        const UniqueFd activeClient(active ? connectTo(loopback(port), stop, soon()) : -1);
        const int client = active ? activeClient.get() : accepted.get();
        const SslPtr ssl = acceptTls(dataCtx_ ? dataCtx_.get() : ctx_.get(), client, stop, renegotiate_);
        const UniqueFd passiveServer(active ? -1 : connectTo(loopback(port), stop, soon()));
        if (renegotiate_)
            renegotiate(ssl.get(), client, stop);
        const int server = active ? accepted.get() : passiveServer.get();
        const Ended ended = pump(ssl.get(), client, server, stop, [](std::string&) {});
        if (ended == Ended::Backend)
            endData(ssl.get(), client, stop, closeAlert_);
        else if (writeAfterClientClose_)
            answerClientClose(ssl.get(), client, stop);
    } catch (const std::runtime_error&) {
    }
}

} // namespace brisk::test
