#pragma once
#include "ftp/ftp_client.h"
#include "ftp/ftp_url.h"

#include <functional>
#include <iosfwd>
#include <string>

namespace brisk::cli {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;
constexpr int kExitFailed = 2;

struct GlobalOptions {
    bool verbose = false;
    int timeoutSeconds = 15;
    bool active = false;
    bool ascii = false;
    bool hidden = false;
    std::string proxy; // HOST[:PORT] of an FTP proxy
    TFtpConnectionType socksKind = ftpDirect;
    std::string socks; // HOST:PORT of a SOCKS server
    std::string socksUser;
    std::string socksPassword;
    int64_t maxListingBytes = int64_t(1) << 30;   // 0: no limit
    int64_t limitRate = 0; // --limit-rate: bytes per second for downloads and uploads alike; 0: none
    int parallel = 1;      // --parallel: files at once for get -r, put -r and mirror, each on its own connection
    int tls = -1;        // --tls: a TFtpSecurity for ftp:// URLs; -1 not given
    std::string trust;   // --trust: the SHA-256 fingerprint of a certificate to accept
    bool insecure = false; // --insecure: accept any certificate
    // An existing target: 0 skip, 1 overwrite, 2 resume; -1 not given (get and put overwrite, get -r
    // and put -r do what the options file says, but never resume).
    int ifExists = -1;
};

// One engine driven request by request, as a command-line tool needs it: each request is started,
// waited for, and its failure reported on stderr.
class CliSession {
public:
    CliSession(const GlobalOptions& options, std::ostream& out, std::ostream& err);

    TFtpClient& ftp() { return ftp_; }
    // Runs one request to its end; false when it failed (reported on stderr unless told otherwise).
    bool run(const std::function<void()>& start, bool reportFailure = true);
    // Connects and logs in with USER and PASS.
    bool login(const FtpUrl& url);
    // The same, through the connect-and-login sequence, with the data connection mode and proxy applied.
    bool connect(const FtpUrl& url);
    // QUIT when the control connection is still up; a failure here changes nothing for the caller.
    void quit();
    // Whether the engine refused a request as misuse (a usage error) since the session began.
    bool refusedAsUsage() const { return refusedAsUsage_; }

private:
    void reportFailure();
    void showProgress(int64_t count);
    void endProgress();
    void applyLogin(const FtpUrl& url);
    void applyProxies();
    bool changeToUrlDir(const FtpUrl& url);

    GlobalOptions options_;
    bool progressShown_ = false;
    uint64_t lastProgress_ = 0;

    TFtpClient ftp_;
    std::ostream& out_;
    std::ostream& err_;
    bool done_ = false;
    bool refusedAsUsage_ = false;
    uint16_t doneError_ = 0;
    TFtpRequest doneRequest_ = ftpNone;
};

} // namespace brisk::cli
