#pragma once
#include <deque>
#include <string>

struct ssl_ctx_st;
struct ssl_session_st;
struct ssl_st;

namespace brisk {

// What a TLS socket plays in an FTP session: every data connection resumes a session of the control
// connection's (servers refuse data connections that start a new one).
enum class TlsRole { Control, Data };

// The TLS settings one FTP session shares among its connections: the library context with the system's
// trust store, and the sessions the server handed out, for reuse. A TLS 1.3 server may take each of its
// tickets only once, so a data connection takes the newest unused one, and each resumed connection brings
// new ones. Certificates are judged by the caller after the handshake, which never refuses one.
class TlsClientContext {
public:
    TlsClientContext();
    ~TlsClientContext();
    TlsClientContext(const TlsClientContext&) = delete;
    TlsClientContext& operator=(const TlsClientContext&) = delete;

    // A new connection object for `hostName` (server name indication and the name check), or null with
    // the reason in `error`.
    ssl_st* NewConnection(const std::string& hostName, TlsRole role, std::string& error);

    // The SHA-256 fingerprint of the control connection's accepted certificate: every data connection
    // must present it (a resumed session carries it), or it may belong to someone else.
    void SetServerFingerprint(const std::string& fingerprint) { serverFingerprint_ = fingerprint; }
    const std::string& ServerFingerprint() const { return serverFingerprint_; }

private:
    void ForgetSessions();
    static int keepSession(ssl_st* ssl, ssl_session_st* session);

    ssl_ctx_st* ctx_ = nullptr;
    std::deque<ssl_session_st*> unused_;
    ssl_session_st* lastUsed_ = nullptr; // taken again when no new one came (TLS 1.2 sessions allow it)
    std::string serverFingerprint_;
};

// The text of the library's oldest queued error (or `fallback`), clearing the queue.
std::string TlsErrorText(const std::string& fallback);

} // namespace brisk
