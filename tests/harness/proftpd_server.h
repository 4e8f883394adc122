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

// A private proftpd (unpacked by scripts/unpack-servers) on a free port of 127.0.0.1, with its
// configuration, user file and roots in a fresh temp dir:
// - kFtpUser / kFtpPassword (ftp_users.h): write access, chrooted to dataDir();
// - kFtpReadOnlyUser / kFtpReadOnlyPassword: the same root, every write and SITE CHMOD refused (550);
// - anonymous ("anonymous" or "ftp", any password): read-only, rooted at anonRoot(), which holds pub/.
// Passive mode on 127.0.0.1 (proftpd picks each port at random) and active mode are both allowed.
// Every new session waits about 0.4 s for its banner while the master finishes with the previous
// one. A wrong password is answered at once, which makes this the server for failed-login tests.
// Needs root: check unavailableReason() first and skip the test with it.
class ProftpdServer {
public:
    ProftpdServer();
    // The same server with mod_tls (unpacked from its own package), refusing logins and data without TLS.
    explicit ProftpdServer(ServerTls tls);
    ~ProftpdServer();
    // Why the TLS module cannot be loaded here, or nothing.
    static std::optional<std::string> tlsUnavailableReason();

    static std::optional<std::string> unavailableReason();

    uint16_t port() const { return port_; }
    const std::filesystem::path& dataDir() const { return dataDir_; }
    const std::filesystem::path& anonRoot() const { return anonRoot_; }

    // Writes a file below dataDir(), owned (like its new parent dirs) by kFtpUser, so that the user
    // can also overwrite, rename or delete it over FTP.
    void writeDataFile(const std::filesystem::path& relative, std::string_view bytes) const;

    // Every command of every session with its reply code, one line each.
    std::string logContents() const;

private:
    void writeUserFile() const;
    void start();
    void writeConfig(uint16_t port) const;
    std::string tlsConfig() const;

    TempDir dir_{0755};
    std::filesystem::path dataDir_;
    std::filesystem::path anonRoot_;
    uint16_t port_ = 0;
    std::unique_ptr<DaemonProcess> daemon_;
    std::optional<ServerTls> tls_;
};

} // namespace brisk::test
