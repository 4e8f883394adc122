#pragma once

#include "daemon_process.h"
#include "temp_dir.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace brisk::test {

// A private ftp-proxy (package ftp-proxy) on a free port of 127.0.0.1. A client logs in with
// "USER name@127.0.0.1:PORT" (magicUser()) and the proxy opens the session to that backend, relaying
// the password and every later command; a plain "USER name" goes to the default backend, when one is
// given. Data connections are relayed in the mode the client uses (passive or active), through ports
// the system chooses. The proxy greets with its own 220 banner and answers EPSV, EPRT, FEAT and MLSD
// with 500. A backend it cannot reach gets the client's connection closed without a reply.
// Check unavailableReason() first and skip the test with it.
class FtpProxyServer {
public:
    explicit FtpProxyServer(std::optional<uint16_t> defaultBackendPort = std::nullopt);
    ~FtpProxyServer();

    static std::optional<std::string> unavailableReason();

    // The login name that routes a session to 127.0.0.1:backendPort: "name@127.0.0.1:backendPort".
    static std::string magicUser(const std::string& name, uint16_t backendPort);

    uint16_t port() const { return port_; }

    // The proxy's log: connections, every command with its destination, the backend's replies and the
    // data connections it set up.
    std::string logContents() const;

    // The daemon's stdout and stderr.
    std::string output() const;

private:
    void writeConfig(uint16_t port, std::optional<uint16_t> defaultBackendPort) const;

    TempDir dir_{0755};
    uint16_t port_ = 0;
    std::unique_ptr<DaemonProcess> daemon_;
};

} // namespace brisk::test
