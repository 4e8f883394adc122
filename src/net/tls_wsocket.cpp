#include "net/tls_wsocket.h"

#include "platform/event_loop.h"
#include "platform/wsa_errors.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <sys/socket.h>

#include <algorithm>
#include <climits>

namespace brisk {

namespace {
// Cipher text and decrypted text held here at most: a fast download waits in the kernel's buffer rather
// than piling up here.
constexpr size_t kPullLimit = 256 * 1024;
constexpr size_t kPlainLimit = 256 * 1024;

// Decrypted bytes not yet read and cipher text not yet decrypted.
size_t unconsumed(const std::string& plain, size_t plainRead, bio_st* cipher)
{
    return plain.size() - plainRead + (cipher ? BIO_ctrl_pending(cipher) : 0);
}
} // namespace

TCustomTlsWSocket::~TCustomTlsWSocket()
{
    dropTls();
}

void TCustomTlsWSocket::dropTls()
{
    if (ssl_)
        SSL_free(ssl_); // frees both memory buffers too
    ssl_ = nullptr;
    in_ = out_ = nullptr;
    established_ = peerEnded_ = closeAlerted_ = ownerPaused_ = finishing_ = false;
    plainIn_.clear();
    plainRead_ = 0;
    plainOut_.clear();
}

void TCustomTlsWSocket::StartTls(TlsClientContext& context, const std::string& hostName, TlsRole role)
{
    dropTls();
    tlsError_.clear();
    ERR_clear_error();
    if (State() != wsConnected)
        return failTls("TLS needs a connected socket");
    role_ = role;
    serverFingerprint_ = context.ServerFingerprint();
    ssl_ = context.NewConnection(hostName, role, tlsError_);
    if (!ssl_)
        return failTls(tlsError_);
    in_ = BIO_new(BIO_s_mem());
    out_ = BIO_new(BIO_s_mem());
    if (!in_ || !out_) {
        BIO_free(in_);
        BIO_free(out_);
        in_ = out_ = nullptr;
        return failTls("TLS library out of memory");
    }
    BIO_set_mem_eof_return(in_, -1); // an empty input buffer means "wait", not end of stream
    SSL_set_bio(ssl_, in_, out_);
    continueHandshake();
}

std::string TCustomTlsWSocket::TlsDescription() const
{
    if (!TlsEstablished())
        return {};
    return std::string(SSL_get_version(ssl_)) + ", " + SSL_get_cipher_name(ssl_);
}

bool TCustomTlsWSocket::TlsSessionReused() const
{
    return TlsEstablished() && SSL_session_reused(ssl_) == 1;
}

TlsPeerCertificate TCustomTlsWSocket::PeerCertificate() const
{
    return ReadPeerCertificate(TlsEstablished() ? ssl_ : nullptr);
}

void TCustomTlsWSocket::continueHandshake()
{
    const int rc = SSL_do_handshake(ssl_);
    const int err = SSL_get_error(ssl_, rc);
    flushCipher();
    if (!ssl_ || State() != wsConnected)
        return;
    if (rc == 1)
        return finishHandshake();
    if (err != SSL_ERROR_WANT_READ && err != SSL_ERROR_WANT_WRITE)
        return failTls("TLS handshake failed: " + TlsErrorText("the server's answer is no TLS"));
    if (peerEnded_)
        failTls("The server closed the connection during the TLS handshake");
}

// A resumed session carries the certificate it began with, so one comparison covers both ways a data
// connection proves it reaches the server the user accepted.
bool TCustomTlsWSocket::peerIsServer()
{
    if (role_ != TlsRole::Data)
        return true;
    const std::string fingerprint = ReadPeerCertificate(ssl_).details.fingerprint;
    return !fingerprint.empty() && fingerprint == serverFingerprint_;
}

void TCustomTlsWSocket::finishHandshake()
{
    if (!peerIsServer()) {
        plainOut_.clear(); // nothing of ours reaches it, and nothing of its reaches the owner
        return failTls("The data connection's certificate is not the server's: the transfer is refused");
    }
    established_ = true;
    if (!plainOut_.empty()) {
        std::string waiting;
        waiting.swap(plainOut_);
        if (!encrypt(waiting.data(), waiting.size()))
            return;
        flushCipher();
    }
    decrypt();
    if (!ssl_)
        return;
    if (ownerPaused_) {
        ownerPaused_ = false;
        TCustomSocksWSocket::Pause();
    }
    if (OnTlsDone)
        OnTlsDone(this, 0);
    if (ssl_ && unconsumed(plainIn_, plainRead_, in_) > 0)
        deliverLater();
}

// The owner hears of the failure first, then of the close.
void TCustomTlsWSocket::failTls(const std::string& reason)
{
    tlsError_ = reason;
    established_ = false;
    if (OnTlsDone)
        OnTlsDone(this, kTlsFailed);
    if (State() != wsClosed)
        InternalClose(false, kTlsFailed);
}

// --- receiving -------------------------------------------------------------------------------------------

void TCustomTlsWSocket::pullCipher()
{
    char buffer[64 * 1024];
    while (in_ && BIO_ctrl_pending(in_) < kPullLimit) {
        const int n = TCustomSocksWSocket::Receive(buffer, int(sizeof buffer));
        if (n == 0)
            peerEnded_ = true;
        if (n <= 0)
            return;
        BIO_write(in_, buffer, n);
    }
}

void TCustomTlsWSocket::decrypt()
{
    char buffer[64 * 1024];
    while (ssl_ && plainIn_.size() - plainRead_ < kPlainLimit) {
        const int n = SSL_read(ssl_, buffer, int(sizeof buffer));
        if (n > 0) {
            if (plainRead_ > plainIn_.size() / 2) { // the read part goes, a copy of at most as much again
                plainIn_.erase(0, plainRead_);
                plainRead_ = 0;
            }
            plainIn_.append(buffer, size_t(n));
            continue;
        }
        const int err = SSL_get_error(ssl_, n);
        if (err == SSL_ERROR_ZERO_RETURN) {
            peerEnded_ = closeAlerted_ = true;
            SSL_shutdown(ssl_); // the answering alert: servers wait for it before they report the transfer
        } else if (err != SSL_ERROR_WANT_READ && err != SSL_ERROR_WANT_WRITE)
            return failTls("TLS error: " + TlsErrorText("broken record from the server"));
        break;
    }
    flushCipher(); // answers the library owes the peer (a key update, say)
}

void TCustomTlsWSocket::TriggerDataAvailable(uint16_t error)
{
    if (!ssl_)
        return TCustomSocksWSocket::TriggerDataAvailable(error);
    if (finishing_) {
        char scratch[16 * 1024];
        while (TCustomSocksWSocket::Receive(scratch, int(sizeof scratch)) > 0) {
        }
        return;
    }
    pullCipher();
    if (!established_)
        return continueHandshake();
    decrypt();
    if (!ssl_ || plainIn_.size() == plainRead_)
        return;
    TCustomSocksWSocket::TriggerDataAvailable(error);
    if (ssl_ && unconsumed(plainIn_, plainRead_, in_) > 0 && !Paused())
        deliverLater();
}

// Decrypted text waiting here makes the socket no readier for the event loop: it is offered again.
void TCustomTlsWSocket::deliverLater()
{
    if (deliveryPosted_)
        return;
    deliveryPosted_ = true;
    std::weak_ptr<Alive> alive = alive_;
    EventLoop::instance().post([this, alive] {
        if (!alive.lock())
            return;
        deliveryPosted_ = false;
        if (ssl_ && established_ && !Paused() && State() == wsConnected && unconsumed(plainIn_, plainRead_, in_) > 0)
            runGuarded([this] { TriggerDataAvailable(0); });
    });
}

int TCustomTlsWSocket::Receive(void* buffer, int len)
{
    if (!ssl_)
        return TCustomSocksWSocket::Receive(buffer, len);
    const size_t waiting = plainIn_.size() - plainRead_;
    if (len <= 0 || (waiting == 0 && peerEnded_))
        return 0;
    if (waiting == 0) {
        SetLastError(wsa::EWOULDBLOCK_);
        return -1;
    }
    const size_t n = std::min(waiting, size_t(len));
    std::copy_n(plainIn_.data() + plainRead_, n, static_cast<char*>(buffer));
    plainRead_ += n;
    if (plainRead_ == plainIn_.size()) {
        plainIn_.clear();
        plainRead_ = 0;
    }
    return int(n);
}

// Everything still to come: the owner's reads make it shrink, which keeps the receive loop going until
// the last byte of a closed connection is delivered.
int TCustomTlsWSocket::GetRcvdCount()
{
    const int64_t below = TCustomSocksWSocket::GetRcvdCount();
    if (!ssl_)
        return int(below);
    return int(std::min<int64_t>(INT_MAX, below + int64_t(unconsumed(plainIn_, plainRead_, in_))));
}



// The handshake goes on while the owner holds the data back; the pause takes effect at its end.
void TCustomTlsWSocket::Pause()
{
    if (ssl_ && !established_) {
        ownerPaused_ = true;
        return;
    }
    TCustomSocksWSocket::Pause();
}

void TCustomTlsWSocket::Resume()
{
    ownerPaused_ = false;
    TCustomSocksWSocket::Resume();
    if (ssl_ && established_ && unconsumed(plainIn_, plainRead_, in_) > 0)
        deliverLater();
}

// A server may close without reading our answering close alert, and its system then resets the
// connection. After its own close alert nothing can be lost any more: that close is a clean one.
void TCustomTlsWSocket::TriggerSessionClosed(uint16_t error)
{
    if (closeAlerted_ && error == wsa::ECONNRESET_)
        error = 0;
    if (ssl_ && !established_ && tlsError_.empty()) {
        tlsError_ = "The server closed the connection during the TLS handshake";
        if (OnTlsDone)
            OnTlsDone(this, kTlsFailed);
        if (error == 0)
            error = kTlsFailed;
    }
    TCustomSocksWSocket::TriggerSessionClosed(error);
}

// --- sending ---------------------------------------------------------------------------------------------

int TCustomTlsWSocket::Send(const void* data, int len)
{
    if (!ssl_ || State() != wsConnected)
        return TCustomSocksWSocket::Send(data, len);
    if (len <= 0)
        return 0;
    if (!established_) {
        plainOut_.append(static_cast<const char*>(data), size_t(len));
        return len;
    }
    if (!encrypt(static_cast<const char*>(data), size_t(len)))
        return -1;
    flushCipher();
    return len;
}

bool TCustomTlsWSocket::encrypt(const char* data, size_t len)
{
    if (SSL_write(ssl_, data, int(len)) == int(len))
        return true;
    failTls("TLS error: " + TlsErrorText("could not encrypt"));
    return false;
}

void TCustomTlsWSocket::flushCipher()
{
    if (!out_)
        return;
    char* data = nullptr;
    const long len = BIO_get_mem_data(out_, &data);
    if (len <= 0)
        return;
    bio_st* out = out_;
    std::string bytes(data, size_t(len)); // the send below may close the socket and free the buffer
    (void)BIO_reset(out);
    TCustomWSocket::Send(bytes.data(), int(bytes.size()));
}

// The handshake's own flights emptying the queue are nothing the owner waits for.
void TCustomTlsWSocket::TriggerDataSent(uint16_t error)
{
    if (ssl_ && !established_)
        return;
    TCustomSocksWSocket::TriggerDataSent(error);
}

// The close alert tells the server the upload is complete rather than cut; a full socket buffer loses
// it, as it would lose any other last bytes.
void TCustomTlsWSocket::SendClosingBytes()
{
    if (!TlsEstablished() || Handle() < 0)
        return;
    SSL_shutdown(ssl_);
    char* data = nullptr;
    const long len = BIO_get_mem_data(out_, &data);
    if (len > 0)
        (void)::send(Handle(), data, size_t(len), MSG_NOSIGNAL | MSG_DONTWAIT);
    (void)BIO_reset(out_);
    ERR_clear_error();
}

void TCustomTlsWSocket::FinishTls()
{
    if (!TlsEstablished() || !AllSent() || finishing_)
        return Close();
    SendClosingBytes();
    ShutDown(1);
    finishing_ = true;
}

void TCustomTlsWSocket::AssignDefaultValue()
{
    TCustomSocksWSocket::AssignDefaultValue();
    dropTls();
}

} // namespace brisk
