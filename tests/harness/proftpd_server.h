#pragma once

#include "server_daemon.h"
#include "server_tls.h"

#include <optional>

namespace brisk::test {

// A private proftpd (unpacked by scripts/unpack-servers): kFtpUser with write access,
// kFtpReadOnlyUser with every write and SITE CHMOD refused (550). Passive mode on 127.0.0.1 (proftpd
// picks each port at random) and active mode are both allowed. Every new session waits about 0.4 s
// for its banner while the master finishes with the previous one. A wrong password is answered at
// once, which makes this the server for failed-login tests. The log has every command of every
// session with its reply code. Check unavailableReason() first and skip the test with it.
class ProftpdServer : public SystemUserFtpDaemon {
public:
    ProftpdServer() : ProftpdServer(std::optional<ServerTls>()) {}
    // The same server with mod_tls (unpacked from its own package), refusing logins and data without TLS.
    explicit ProftpdServer(ServerTls tls) : ProftpdServer(std::optional<ServerTls>(std::move(tls))) {}

    static std::optional<std::string> unavailableReason();
    // Why the TLS module cannot be loaded here, or nothing.
    static std::optional<std::string> tlsUnavailableReason();

private:
    explicit ProftpdServer(std::optional<ServerTls> tls);
    std::string config(uint16_t port) const;

    std::optional<ServerTls> tls_;
};

} // namespace brisk::test
