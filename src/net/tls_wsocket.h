// No #pragma once, as in socks_wsocket.h: net/wsocket.h includes this header after the layers below and
// then derives TWSocket from the class here.
#include "net/socks_wsocket.h"

#ifndef BRISK_NET_TLS_WSOCKET_H
#define BRISK_NET_TLS_WSOCKET_H

#include "net/tls_certificate.h"
#include "net/tls_context.h"

#include <cstdint>
#include <memory>
#include <string>

struct bio_st;

namespace brisk {

// Error code of a TLS connection that could not be set up or broke; TlsError() has the reason.
constexpr uint16_t kTlsFailed = 20101;

// TLS over the connected socket (through a SOCKS tunnel too), driven by the event loop: the library
// works on memory buffers and this layer moves their bytes through the socket below. The owner keeps
// using Send and Receive with plain text.
class TCustomTlsWSocket : public TCustomSocksWSocket {
public:
    ~TCustomTlsWSocket() override;

    // Starts the client handshake. What the owner sends meanwhile waits for its end; what arrives
    // reaches the owner only after it. OnTlsDone reports the end (0, or kTlsFailed and the socket closes).
    // A data connection whose certificate is not the control connection's fails before either.
    void StartTls(TlsClientContext& context, const std::string& hostName, TlsRole role);
    bool TlsStarted() const { return ssl_ != nullptr; }
    bool TlsEstablished() const { return ssl_ != nullptr && established_; }
    const std::string& TlsError() const { return tlsError_; }
    // "TLSv1.3, TLS_AES_256_GCM_SHA384"
    std::string TlsDescription() const;
    bool TlsSessionReused() const;
    // The peer ended the connection without its close alert: what it sent may have been cut short.
    bool TlsCutShort() const { return TlsEstablished() && peerEnded_ && !closeAlerted_; }
    TlsPeerCertificate PeerCertificate() const;
    // Ends a finished upload: the close alert and the end of our direction go out, then whatever the peer
    // still sends (TLS 1.3 session tickets, say) is read and dropped until it closes. Closing at once
    // would leave those bytes unread, and the system would answer them with a reset. Without TLS, Close().
    void FinishTls();

    int Send(const void* data, int len) override;
    int Receive(void* buffer, int len) override;
    int GetRcvdCount() override;
    void Pause() override;
    void Resume() override;

    TSessionConnected OnTlsDone;

protected:
    void TriggerDataAvailable(uint16_t error) override;
    void TriggerSessionClosed(uint16_t error) override;
    void TriggerDataSent(uint16_t error) override;
    void SendClosingBytes() override;
    void AssignDefaultValue() override;

private:
    struct Alive {};

    void pullCipher();
    void continueHandshake();
    void finishHandshake();
    bool peerIsServer();
    void failTls(const std::string& reason);
    void decrypt();
    bool encrypt(const char* data, size_t len);
    void flushCipher();
    void deliverLater();
    void dropTls();

    ssl_st* ssl_ = nullptr;
    bio_st* in_ = nullptr;   // cipher text from the peer, for the library
    bio_st* out_ = nullptr;  // cipher text from the library, for the peer
    bool established_ = false;
    bool peerEnded_ = false;     // the peer's end of the stream (close alert or TCP close)
    bool closeAlerted_ = false;  // the peer's close alert: everything it sent has arrived
    bool ownerPaused_ = false;   // paused by the owner during the handshake, which goes on
    bool deliveryPosted_ = false;
    bool finishing_ = false;     // FinishTls: nothing more for the owner, the peer's close awaited
    std::string tlsError_;
    std::string serverFingerprint_; // a data connection's: the control connection's certificate
    TlsRole role_ = TlsRole::Control;
    std::string plainIn_;        // decrypted, not yet read by the owner
    size_t plainRead_ = 0;
    std::string plainOut_;       // sent by the owner during the handshake
    std::shared_ptr<Alive> alive_ = std::make_shared<Alive>();
};

} // namespace brisk

#endif
