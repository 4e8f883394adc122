#pragma once

#include "daemon_process.h"
#include "server_tls.h"
#include "temp_dir.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace brisk::test {

// A private vsftpd on a free port of 127.0.0.1, with its configuration and roots in a fresh temp dir:
// - kFtpUser / kFtpPassword (ftp_users.h): write access, rooted at dataDir();
// - kFtpReadOnlyUser / kFtpReadOnlyPassword: the same root, every write refused (550);
// - anonymous ("anonymous" or "ftp", no password): read-only, rooted at anonRoot(), which holds pub/.
// Passive mode on 127.0.0.1 (ports chosen by the system) and active mode are both allowed; the
// protocol log is on. Needs root: check unavailableReason() first and skip the test with it.
// A wrong password costs about 3 s here.
enum class Loopback { ipv4, ipv6 };

class VsftpdServer {
public:
    VsftpdServer();
    // The same server listening on ::1 instead (check ipv6LoopbackAvailable() first).
    explicit VsftpdServer(Loopback loopback);
    // The same server requiring TLS for logins and data (explicit, or implicit with tls.implicit).
    explicit VsftpdServer(ServerTls tls);
    ~VsftpdServer();

    static std::optional<std::string> unavailableReason();

    uint16_t port() const { return port_; }
    const std::filesystem::path& dataDir() const { return dataDir_; }
    const std::filesystem::path& anonRoot() const { return anonRoot_; }

    // Writes a file below dataDir(), owned (like its new parent dirs) by the local user, so that the
    // user can also overwrite, rename or delete it over FTP.
    void writeDataFile(const std::filesystem::path& relative, std::string_view bytes) const;

    // Limits the data rate of kFtpUser's later logins (vsftpd's local_max_rate), so that a transfer
    // of a few megabytes lasts long enough for a test to act while it runs; 0 removes the limit.
    void setUserRateLimit(uint32_t bytesPerSecond) const;

    // vsftpd's log: the protocol dialogue of every session and the transfers.
    std::string logContents() const;

private:
    void start();
    void writeConfig(uint16_t port) const;
    std::string tlsConfig() const;
    std::string listenConfig() const;

    TempDir dir_{0755};
    std::filesystem::path dataDir_;
    std::filesystem::path anonRoot_;
    uint16_t port_ = 0;
    std::unique_ptr<DaemonProcess> daemon_;
    std::optional<ServerTls> tls_;
    Loopback loopback_ = Loopback::ipv4;
};

} // namespace brisk::test
