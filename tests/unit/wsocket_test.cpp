#include "net/socket_exception.h"
#include "net/socket_resolve.h"
#include "net/wsocket.h"
#include "platform/event_loop.h"
#include "platform/wsa_errors.h"
#include "expect_throw.h"
#include "peer_io.h"
#include "pump.h"
#include "server_tls.h"
#include "temp_dir.h"
#include "unique_fd.h"

#include <gtest/gtest.h>

#include <openssl/ssl.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace brisk;
using namespace brisk::test;

namespace {

// A plain blocking listener on 127.0.0.1 standing in for the remote side.
struct LoopbackListener {
    uint16_t port = 0;
    UniqueFd fd{peer_io::listenOnLoopback(port)};
    int accept() { return ::accept(fd.get(), nullptr, nullptr); }
};

int unusedPort()
{
    LoopbackListener l;
    return l.port; // closed again when l goes: nobody listens there
}

void connectTo(TWSocket& s, int port)
{
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(port));
    s.Connect();
}

} // namespace

// The default queue blocks are 1514 bytes; a bulk sender may ask for larger ones, one system send each.
TEST(WSocketSend, FourThousandBytesGoOutInQueueBlocksAndOneDataSentLater)
{
    struct Row {
        int blockSize;
        std::vector<int> sends;
    } rows[] = {{0, {1514, 1514, 972}}, {65536, {4000}}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.blockSize);
        LoopbackListener peer;
        TWSocket s;
        if (r.blockSize != 0)
            s.SetSendBlockSize(r.blockSize);
        bool connected = false;
        std::vector<int> sends;
        int dataSent = 0;
        s.OnSessionConnected = [&](TCustomWSocket*, uint16_t e) { connected = e == 0; };
        s.OnSendData = [&](TCustomWSocket*, int n) { sends.push_back(n); };
        s.OnDataSent = [&](TCustomWSocket*, uint16_t) { ++dataSent; };
        connectTo(s, peer.port);
        ASSERT_TRUE(pumpUntil([&] { return connected; }));
        const int remote = peer.accept();

        const std::string payload(4000, 'z');
        EXPECT_EQ(s.Send(payload.data(), int(payload.size())), 4000);
        EXPECT_EQ(dataSent, 0) << "OnDataSent must come through the loop, not inside Send";
        ASSERT_TRUE(pumpUntil([&] { return dataSent > 0; }));
        EventLoop::instance().pumpOnce(20);
        EXPECT_EQ(dataSent, 1);
        EXPECT_EQ(sends, r.sends);

        std::string got(4000, '\0');
        size_t have = 0;
        while (have < got.size()) {
            const ssize_t n = ::recv(remote, got.data() + have, got.size() - have, 0);
            ASSERT_GT(n, 0);
            have += size_t(n);
        }
        EXPECT_EQ(got, payload);
        ::close(remote);
    }
}

TEST(WSocketReceive, DataWaitingAtThePeersCloseIsDeliveredBeforeSessionClosed)
{
    LoopbackListener peer;
    TWSocket s;
    std::string received, trace;
    int closed = 0;
    s.OnSessionConnected = [&](TCustomWSocket*, uint16_t) { trace += "C"; };
    s.OnDataAvailable = [&](TCustomWSocket* sock, uint16_t) {
        char buf[100];
        const int n = sock->Receive(buf, sizeof buf);
        if (n > 0)
            received.append(buf, size_t(n));
        trace += "D";
    };
    s.OnSessionClosed = [&](TCustomWSocket*, uint16_t) { ++closed; trace += "X"; };
    connectTo(s, peer.port);
    const int remote = peer.accept();
    const std::string payload(10000, 'q');
    ASSERT_EQ(::send(remote, payload.data(), payload.size(), 0), ssize_t(payload.size()));
    ::close(remote);

    ASSERT_TRUE(pumpUntil([&] { return closed > 0; }));
    EventLoop::instance().pumpOnce(20);
    EXPECT_EQ(received, payload);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(trace.front(), 'C');
    EXPECT_EQ(trace.back(), 'X');
    EXPECT_EQ(s.State(), wsClosed);
}

TEST(WSocketReceive, AFastSenderDoesNotStarveTheLoop)
{
    LoopbackListener peer;
    TWSocket s;
    int64_t received = 0;
    bool timerRanEarly = false;
    const int64_t total = 8 << 20;
    s.OnDataAvailable = [&](TCustomWSocket* sock, uint16_t) {
        char buf[2048];
        const int n = sock->Receive(buf, sizeof buf);
        if (n > 0)
            received += n;
    };
    connectTo(s, peer.port);
    const int remote = peer.accept();
    std::thread writer([&] {
        std::string chunk(1 << 16, 'w');
        for (int64_t sent = 0; sent < total;) {
            const ssize_t n = ::send(remote, chunk.data(), chunk.size(), MSG_NOSIGNAL);
            if (n <= 0)
                break;
            sent += n;
        }
        ::close(remote);
    });
    EventLoop::instance().addTimer(0, [&] { timerRanEarly = received < total; });
    ASSERT_TRUE(pumpUntil([&] { return received >= total; }, 20000));
    writer.join();
    EXPECT_TRUE(timerRanEarly);
}

// A name's addresses are tried in order: ::1 refuses (the listener is on 127.0.0.1 only), the next one
// takes the connection, and the owner sees one connect; when all refuse, one connect with 10061.
TEST(WSocketConnect, AFailedAddressGivesWayToTheNextOne)
{
    LoopbackListener listener;
    TWSocket s;
    std::vector<int> errors;
    s.OnSessionConnected = [&](TCustomWSocket*, uint16_t e) { errors.push_back(e); };
    s.SetAddr("::1");
    s.SetFallbackAddrs({"127.0.0.1"});
    s.SetPort(std::to_string(listener.port));
    s.Connect();
    ASSERT_TRUE(pumpUntil([&] { return !errors.empty(); }));
    EXPECT_EQ(errors, std::vector<int>{0});
    EXPECT_EQ(s.GetPeerAddr(), "127.0.0.1");
    EXPECT_EQ(s.State(), wsConnected);

    TWSocket refused;
    errors.clear();
    refused.OnSessionConnected = [&](TCustomWSocket*, uint16_t e) { errors.push_back(e); };
    refused.SetAddr("::1");
    refused.SetFallbackAddrs({"127.0.0.1", "127.0.0.1"});
    refused.SetPort(std::to_string(unusedPort()));
    refused.Connect();
    ASSERT_TRUE(pumpUntil([&] { return !errors.empty(); }));
    EXPECT_FALSE(pumpUntil([&] { return errors.size() > 1; }, 200));
    EXPECT_EQ(errors, std::vector<int>{10061});
    EXPECT_EQ(refused.State(), wsClosed);
}

// Close reports the session's end once, inside the call, and puts the settings back to their start.
TEST(WSocketConnect, UsageErrorsAndCloseReturnsToStartValues)
{
    TWSocket s;
    std::string reported;
    s.OnError = [&](TCustomWSocket* sender) { reported = sender->LastErrorMessage(); };
    EXPECT_EQ(s.Send("x", 1), -1);
    EXPECT_EQ(s.LastError(), 10057);
    EXPECT_EQ(reported, "Error 10057 in function Send\r\nSocket is not connected");
    s.OnError = nullptr;
    EXPECT_THROW(s.Connect(), ESocketException);
    s.SetAddr("127.0.0.1");
    expectThrowWhat<ESocketException>([&] { s.Connect(); }, "Connect: No Port Specified");
    EXPECT_THROW(s.SetLocalAddr("1.2.3"), ESocketException);

    LoopbackListener peer;
    bool connected = false;
    int closed = 0;
    s.OnSessionConnected = [&](TCustomWSocket*, uint16_t) { connected = true; };
    s.OnSessionClosed = [&](TCustomWSocket*, uint16_t) { ++closed; };
    s.SetPort(std::to_string(peer.port));
    s.SetProto("TCP");
    s.LingerTimeout = 5;
    s.Connect();
    ASSERT_TRUE(pumpUntil([&] { return connected; }));
    expectThrowWhat<ESocketException>([&] { s.SetAddr("10.0.0.1"); }, "Cannot change Addr if not closed");
    EXPECT_THROW(s.SetPort("1"), ESocketException);
    EXPECT_THROW(s.Connect(), ESocketException);
    s.Close();
    EXPECT_EQ(closed, 1);
    s.Close();
    s.Abort();
    EventLoop::instance().pumpOnce(20);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(s.State(), wsClosed);
    EXPECT_EQ(s.Addr(), "");
    EXPECT_EQ(s.Proto(), "tcp");
    EXPECT_EQ(s.LocalAddr(), "0.0.0.0");
    EXPECT_EQ(s.LocalPort(), "0");
    EXPECT_EQ(s.LingerOnOff, wsLingerOn);
    EXPECT_EQ(s.LingerTimeout, 0);
    EXPECT_THROW(s.Connect(), ESocketException) << "Addr and Port must be set again";
}

TEST(WSocketListen, AcceptAndDupCarryDataBothWays)
{
    TWSocket server, accepted, client;
    server.SetAddr("127.0.0.1");
    server.SetPort("0");
    server.Listen();
    ASSERT_EQ(server.State(), wsListening);
    sockaddr_in name{};
    ASSERT_EQ(server.GetSockName(name), 0);
    bool available = false;
    server.OnSessionAvailable = [&](TCustomWSocket*, uint16_t) {
        available = true;
        accepted.Dup(server.Accept());
        server.Close();
    };
    std::string atServer, atClient;
    auto collect = [](std::string& into) {
        return [&into](TCustomWSocket* sock, uint16_t) { into += sock->ReceiveStr(); };
    };
    accepted.OnDataAvailable = collect(atServer);
    client.OnDataAvailable = collect(atClient);
    connectTo(client, ntohs(name.sin_port));
    ASSERT_TRUE(pumpUntil([&] { return available && client.State() == wsConnected; }));
    EXPECT_EQ(accepted.State(), wsConnected);
    EXPECT_EQ(accepted.GetPeerAddr(), "127.0.0.1");
    client.SendStr("ping");
    accepted.SendStr("pong");
    ASSERT_TRUE(pumpUntil([&] { return atServer == "ping" && atClient == "pong"; }));
    EXPECT_EQ(client.ReadCount(), 4);

    TWSocket notListening;
    EXPECT_THROW(notListening.Accept(), ESocketException);
    EXPECT_THROW(notListening.Dup(0), ESocketException);
}

// A dotted address answers inside the call, a name through the loop (a cancelled answer is dropped),
// and an empty name is a usage error: thrown without an error handler, reported with one.
TEST(WSocketDns, DottedAddressesNamesAndAnEmptyName)
{
    TWSocket s;
    int done = -1;
    s.OnDnsLookupDone = [&](TCustomWSocket*, uint16_t e) { done = e; };
    s.DnsLookup(" 127.0.0.1 ");
    EXPECT_EQ(done, 0);
    EXPECT_EQ(s.DnsResult(), "127.0.0.1");
    for (const char* literal : {"::1", "[::1]"}) {
        done = -1;
        s.DnsLookup(literal);
        EXPECT_EQ(done, 0) << literal;
        EXPECT_EQ(s.DnsResultList(), std::vector<std::string>{"::1"}) << literal;
    }

    done = -1;
    s.DnsLookup("localhost");
    EXPECT_EQ(done, -1);
    ASSERT_TRUE(pumpUntil([&] { return done != -1; }));
    EXPECT_EQ(done, 0);
    EXPECT_EQ(s.DnsResult(), "127.0.0.1");
    done = -1;
    s.DnsLookup("localhost");
    s.CancelDnsLookup();
    EXPECT_FALSE(pumpUntil([&] { return done != -1; }, 300));

    expectThrowWhat<ESocketException>([&] { s.DnsLookup(""); }, "DNS lookup: invalid host name.");
    EXPECT_EQ(done, -1);
    std::string reported;
    s.OnError = [&](TCustomWSocket* sender) { reported = sender->LastErrorMessage(); };
    s.DnsLookup("");
    EXPECT_EQ(reported, "DNS lookup: invalid host name.");
    EXPECT_EQ(done, 10022);
}

TEST(SocketResolve, PortsProtocolsAndHosts)
{
    const std::pair<const char*, int> ports[] = {{"21", 21}, {" 21", 21}, {"2121abc", 2121}, {"ftp", 21}};
    for (const auto& [text, port] : ports)
        EXPECT_EQ(ntohs(WSocketResolvePort(text, "tcp")), port) << text;
    EXPECT_EQ(WSocketResolveProto("tcp"), 6);
    EXPECT_EQ(WSocketResolveProto("17"), 17);
    EXPECT_EQ(WSocketResolveHost("127.0.0.1"), htonl(INADDR_LOOPBACK));
    EXPECT_EQ(WSocketResolveHost("255.255.255.255"), INADDR_BROADCAST);

    struct Bad {
        std::function<void()> call;
        const char* message;
    } bad[] = {
        {[] { WSocketResolvePort("", "tcp"); }, "WSocketResolvePort: Invalid Port."},
        {[] { WSocketResolvePort(std::string(32, '1'), "tcp"); }, "WSocketResolvePort: Invalid Port."},
        {[] { WSocketResolvePort("no-such-service-x", "tcp"); },
         "WSocketResolvePort: Cannot convert port 'no-such-service-x', Error #11004"},
        {[] { WSocketResolveProto(""); }, "WSocketResolveProto: Invalid Protocol."},
        {[] { WSocketResolveHost(""); }, "WSocketResolveHost: '' Invalid Hostname."},
        {[] { WSocketResolveHost("1.2.3.400"); }, "WSocketResolveHost: '1.2.3.400' Invalid IP address."},
    };
    for (const Bad& b : bad)
        expectThrowWhat<ESocketException>(b.call, b.message);
}

TEST(SocketResolve, DottedAddressShape)
{
    for (const char* good : {"0.0.0.0", "127.0.0.1", " 10.1.2.3 ", "255.255.255.255"})
        EXPECT_TRUE(WSocketIsDottedIP(good)) << good;
    for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1..2.3", "a.b.c.d", "1.2.3.4x", "1234.1.1.1"})
        EXPECT_FALSE(WSocketIsDottedIP(bad)) << bad;
}

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
