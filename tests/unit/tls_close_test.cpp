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

// How the server below ends the connection after the payload.
enum class ServerEnd {
    AlertThenReset,  // its close alert, then a close without reading our answering alert: a reset
    Reset,           // a reset, no close alert
    CloseWithoutAlert,
};

// A TLS server on loopback in its own thread: sends the payload and ends as told.
class EndingTlsServer {
public:
    EndingTlsServer(const ServerTls& tls, ServerEnd end) : end_(end)
    {
        ctx_ = SSL_CTX_new(TLS_server_method());
        SSL_CTX_use_certificate_file(ctx_, tls.certFile.c_str(), SSL_FILETYPE_PEM);
        SSL_CTX_use_PrivateKey_file(ctx_, tls.keyFile.c_str(), SSL_FILETYPE_PEM);
        thread_ = std::thread([this] { serve(); });
    }
    ~EndingTlsServer()
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
            pollfd client{fd.get(), POLLIN, 0};
            if (end_ == ServerEnd::AlertThenReset) {
                SSL_shutdown(ssl);
                ::poll(&client, 1, 5000); // the client's close alert has come, unread: close() resets
            } else if (end_ == ServerEnd::Reset) {
                const linger reset{1, 0};
                ::setsockopt(fd.get(), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            } else {
                ::shutdown(fd.get(), SHUT_WR);
                char scratch[512];
                while (::poll(&client, 1, 5000) == 1 && ::recv(fd.get(), scratch, sizeof scratch, 0) > 0)
                    continue; // until the client has closed too
            }
        }
        SSL_free(ssl);
    }

    ServerEnd end_;
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
    bool cutShort = false;
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
    s.OnSessionClosed = [&](TCustomWSocket*, uint16_t error) {
        out.closeError = error;
        out.cutShort = s.TlsCutShort();
    };
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(port));
    s.Connect();
    pumpUntil([&] { return out.closeError >= 0; }, 10000);
    return out;
}

} // namespace

// A reset after the server's close alert is a clean close; without the alert a reset is a failure and a
// plain close is one that may have cut the data short.
TEST(TlsClose, TheServersCloseAlertDecidesHowTheEndIsTaken)
{
    TempDir dir;
    const ServerTls tls = makeServerTls(dir.path());
    const struct {
        ServerEnd end;
        int closeError;
        bool cutShort;
    } cases[] = {{ServerEnd::AlertThenReset, 0, false},
                 {ServerEnd::Reset, wsa::ECONNRESET_, false},
                 {ServerEnd::CloseWithoutAlert, 0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.end));
        EndingTlsServer server(tls, c.end);
        const ClientOutcome out = readUntilClosed(server.port());
        EXPECT_EQ(out.closeError, c.closeError);
        if (c.end != ServerEnd::Reset) {
            EXPECT_TRUE(out.received == kPayload) << out.received.size();
            EXPECT_EQ(out.cutShort, c.cutShort);
        }
    }
}
