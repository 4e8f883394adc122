#pragma once

#include "peer_io.h"
#include "server_tls.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

struct ssl_ctx_st;
struct ssl_st;

namespace brisk::test {

// Implicit TLS in front of a plain FTP server on 127.0.0.1 (a ScriptedFtpPeer, say), for what no real
// TLS server does: the client speaks TLS on the control connection and on each data connection, the
// server behind sees plain text. 227 replies and PORT commands are rewritten to name the front's own
// data port; a passive data connection's handshake ends before the front connects to the server's
// port. Data connections use `dataTls` when given: another certificate, and no resumption of the
// control connection's session. When the server ends a data connection, the front sends its TLS close
// alert first, or, with setCloseAlert(false), ends the TCP connection without it. One client at a time.
class TlsFront {
public:
    TlsFront(uint16_t backendPort, const ServerTls& tls, const ServerTls* dataTls = nullptr);
    ~TlsFront();
    TlsFront(const TlsFront&) = delete;
    TlsFront& operator=(const TlsFront&) = delete;

    uint16_t port() const { return control_.port(); }
    void setCloseAlert(bool on) { closeAlert_ = on; }
    // Explicit TLS instead: the front greets in clear, answers AUTH TLS with 234, and only then does the
    // handshake; the server behind is reached after it, so its banner comes as an unsolicited reply.
    void setExplicit(bool on) { explicit_ = on; }
    // After a client's close alert on a data connection, a record follows (as TLS 1.3 session tickets may)
    // and the front ends its direction; resets() counts the clients that answered with a reset rather
    // than their close.
    void setWriteAfterClientClose(bool on) { writeAfterClientClose_ = on; }
    int resets() const { return resets_; }
    // TLS 1.2 only, and each data connection asks the client for a new handshake at once;
    // renegotiations() counts those that took place.
    void setRenegotiate(bool on) { renegotiate_ = on; }
    int renegotiations() const { return renegotiations_; }

private:
    void serveControl(UniqueFd client);
    void serveData(UniqueFd client);
    std::string rewritePassive(const std::string& line);
    std::string rewriteActive(const std::string& line);
    void answerClientClose(ssl_st* ssl, int fd, int stopFd);
    void renegotiate(ssl_st* ssl, int fd, int stopFd);

    struct ContextFree {
        void operator()(ssl_ctx_st* ctx) const;
    };

    uint16_t backendPort_;
    std::unique_ptr<ssl_ctx_st, ContextFree> ctx_;
    std::unique_ptr<ssl_ctx_st, ContextFree> dataCtx_;
    std::atomic<bool> closeAlert_{true};
    std::atomic<bool> explicit_{false};
    std::atomic<bool> writeAfterClientClose_{false};
    std::atomic<int> resets_{0};
    std::atomic<bool> renegotiate_{false};
    std::atomic<int> renegotiations_{0};
    std::mutex mutex_;
    std::deque<uint16_t> backendDataPorts_; // from the 227 replies passed on, oldest first
    std::deque<uint16_t> clientDataPorts_;  // from the PORT commands passed on, oldest first

    // Last: their threads stop before anything they use goes.
    PeerListener data_;
    PeerListener control_;
};

} // namespace brisk::test
