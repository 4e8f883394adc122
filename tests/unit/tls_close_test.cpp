#include "net/wsocket.h"
#include "platform/wsa_errors.h"
#include "peer_io.h"
#include "pump.h"
#include "server_tls.h"
#include "temp_dir.h"
#include "unique_fd.h"

#include <gtest/gtest.h>

#include <openssl/ssl.h>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>

using namespace brisk;
using namespace brisk::test;

namespace {

const std::string kPayload(300000, 'p');

// A TLS server on loopback in its own thread: sends the payload and its close alert, then does as
// servers do that close without reading our answering alert (their system resets the connection), or
// resets at once without a close alert.
class ResettingTlsServer {
public:
    ResettingTlsServer(const ServerTls& tls, bool closeAlert) : closeAlert_(closeAlert)
    {
        ctx_ = SSL_CTX_new(TLS_server_method());
        SSL_CTX_use_certificate_file(ctx_, tls.certFile.c_str(), SSL_FILETYPE_PEM);
        SSL_CTX_use_PrivateKey_file(ctx_, tls.keyFile.c_str(), SSL_FILETYPE_PEM);
        thread_ = std::thread([this] { serve(); });
    }
    ~ResettingTlsServer()
    {
        thread_.join();
        SSL_CTX_free(ctx_);
    }
    uint16_t port() const { return port_; }

private:
    void serve()
    {
        UniqueFd fd(::accept(listener_.get(), nullptr, nullptr));
        SSL* ssl = SSL_new(ctx_);
        SSL_set_fd(ssl, fd.get());
        if (SSL_accept(ssl) == 1 && SSL_write(ssl, kPayload.data(), int(kPayload.size())) > 0) {
            if (closeAlert_) {
                SSL_shutdown(ssl);
                pollfd answer{fd.get(), POLLIN, 0};
                ::poll(&answer, 1, 5000); // the client's close alert has come, unread: close() resets
            } else {
                const linger reset{1, 0};
                ::setsockopt(fd.get(), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            }
        }
        SSL_free(ssl);
    }

    bool closeAlert_;
    uint16_t port_ = 0;
    UniqueFd listener_{peer_io::listenOnLoopback(port_)};
    SSL_CTX* ctx_ = nullptr;
    std::thread thread_;
};

// What the client saw: the bytes and the close's error. The client never closes by itself, so the
// close it reports is the server's reset.
struct ClientOutcome {
    std::string received;
    int closeError = -1;
};

ClientOutcome readUntilClosed(uint16_t port)
{
    TlsClientContext context;
    TWSocket s;
    ClientOutcome out;
    s.OnSessionConnected = [&](TCustomWSocket*, uint16_t) { s.StartTls(context, "localhost", TlsRole::Control); };
    s.OnDataAvailable = [&](TCustomWSocket*, uint16_t) {
        char buffer[65536];
        for (int n; (n = s.Receive(buffer, sizeof buffer)) > 0;)
            out.received.append(buffer, size_t(n));
    };
    s.OnSessionClosed = [&](TCustomWSocket*, uint16_t error) { out.closeError = error; };
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(port));
    s.Connect();
    pumpUntil([&] { return out.closeError >= 0; }, 10000);
    return out;
}

} // namespace

TEST(TlsClose, AResetAfterTheServersCloseAlertIsACleanCloseAndWithoutItAFailure)
{
    TempDir dir;
    const ServerTls tls = makeServerTls(dir.path());
    {
        ResettingTlsServer server(tls, true);
        const ClientOutcome out = readUntilClosed(server.port());
        EXPECT_EQ(out.closeError, 0);
        EXPECT_TRUE(out.received == kPayload) << out.received.size();
    }
    {
        ResettingTlsServer server(tls, false);
        EXPECT_EQ(readUntilClosed(server.port()).closeError, wsa::ECONNRESET_);
    }
}
