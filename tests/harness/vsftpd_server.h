#pragma once

#include "server_daemon.h"
#include "server_tls.h"

#include <optional>

namespace brisk::test {

enum class Loopback { ipv4, ipv6 };

// vsftpd's max_per_ip: more connections from one address are refused with 421.
struct ConnectionsPerAddress {
    int count = 0;
};

// A private vsftpd: kFtpUser with write access, kFtpReadOnlyUser with every write refused (550),
// anonymous ("anonymous" or "ftp", no password) read-only in a root of its own that holds pub/.
// Passive mode on 127.0.0.1 (ports chosen by the system) and active mode are both allowed; the log
// holds the protocol dialogue of every session and the transfers. A wrong password costs about 3 s.
// Check unavailableReason() first and skip the test with it.
class VsftpdServer : public SystemUserFtpDaemon {
public:
    VsftpdServer() : VsftpdServer(Loopback::ipv4, std::nullopt) {}
    explicit VsftpdServer(ConnectionsPerAddress limit) : VsftpdServer(Loopback::ipv4, std::nullopt, limit) {}
    // The same server listening on ::1 instead (check ipv6LoopbackAvailable() first).
    explicit VsftpdServer(Loopback loopback) : VsftpdServer(loopback, std::nullopt) {}
    // The same server requiring TLS for logins and data (explicit, or implicit with tls.implicit).
    explicit VsftpdServer(ServerTls tls) : VsftpdServer(Loopback::ipv4, std::move(tls)) {}

    static std::optional<std::string> unavailableReason();

    // Limits the data rate of kFtpUser's later logins (vsftpd's local_max_rate), so that a transfer
    // of a few megabytes lasts long enough for a test to act while it runs; 0 removes the limit.
    void setUserRateLimit(uint32_t bytesPerSecond) const;
    // Refuses these commands ("RNFR,RNTO") to kFtpUser's later logins with 550, in place of a rate limit.
    void denyUserCommands(const std::string& commands) const;

private:
    VsftpdServer(Loopback loopback, std::optional<ServerTls> tls, ConnectionsPerAddress limit = {});
    std::string config(uint16_t port) const;

    std::optional<ServerTls> tls_;
    Loopback loopback_;
    ConnectionsPerAddress limit_;
};

} // namespace brisk::test
