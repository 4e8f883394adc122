#pragma once

#include "server_daemon.h"
#include "server_tls.h"

#include <optional>

namespace brisk::test {

// A private pure-ftpd (unpacked by scripts/unpack-servers): kFtpUser and kFtpReadOnlyUser are
// virtual users mapped to those system accounts; the read-only one is refused every write (553/550)
// because nothing in dataDir() belongs to it (pure-ftpd has no per-user write switch). pure-ftpd
// admits half as many sessions as it has passive ports, so the range is wide. A wrong password
// costs about 6 s: avoid it. The log has one line per finished transfer. Check unavailableReason()
// first and skip the test with it.
class PureFtpdServer : public SystemUserFtpDaemon {
public:
    PureFtpdServer() : PureFtpdServer(nullptr) {}
    // The same server refusing logins without TLS (explicit only: its certificate file holds the key too).
    explicit PureFtpdServer(const ServerTls& tls) : PureFtpdServer(&tls) {}

    static std::optional<std::string> unavailableReason();

private:
    explicit PureFtpdServer(const ServerTls* tls);
    void writeUserDatabase() const;
};

} // namespace brisk::test
