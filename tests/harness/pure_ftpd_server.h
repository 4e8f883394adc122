#pragma once

#include "daemon_process.h"
#include "loopback_port_range.h"
#include "server_tls.h"
#include "temp_dir.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace brisk::test {

// A private pure-ftpd (unpacked by scripts/unpack-servers) on a free port of 127.0.0.1, with its
// user database and root in a fresh temp dir:
// - kFtpUser / kFtpPassword (ftp_users.h): virtual user mapped to that system account, chrooted to
//   dataDir(), which it owns: full write access;
// - kFtpReadOnlyUser / kFtpReadOnlyPassword: the same root, every write refused (553/550) because
//   nothing there belongs to that account (pure-ftpd has no per-user write switch).
// No anonymous access: pure-ftpd always serves it from the system user ftp's home.
// Passive mode uses passivePorts(); pure-ftpd admits half as many sessions as it has passive ports,
// so the range is wide. Active mode is allowed. A wrong password costs about 6 s: avoid it.
// Needs root: check unavailableReason() first and skip the test with it.
class PureFtpdServer {
public:
    PureFtpdServer();
    // The same server refusing logins without TLS (explicit only: its certificate file holds the key too).
    explicit PureFtpdServer(const ServerTls& tls);
    ~PureFtpdServer();

    static std::optional<std::string> unavailableReason();

    uint16_t port() const { return port_; }
    const std::filesystem::path& dataDir() const { return dataDir_; }
    PortRange passivePorts() const { return passivePorts_; }

    // Writes a file below dataDir(), owned (like its new parent dirs) by kFtpUser, so that the user
    // can also overwrite, rename or delete it over FTP.
    void writeDataFile(const std::filesystem::path& relative, std::string_view bytes) const;

    // The transfer log: one line per finished upload or download, in common log format.
    std::string logContents() const;

private:
    void start();
    void writeUserDatabase() const;
    DaemonLaunch daemonSpec(uint16_t port) const;

    TempDir dir_{0755};
    std::filesystem::path dataDir_;
    PortRange passivePorts_;
    uint16_t port_ = 0;
    std::unique_ptr<DaemonProcess> daemon_;
    std::filesystem::path tlsFile_;   // certificate and key; empty: no TLS
};

} // namespace brisk::test
