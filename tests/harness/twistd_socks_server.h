#pragma once

#include "daemon_process.h"
#include "temp_dir.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace brisk::test {

// Twisted's SOCKS4 and SOCKS4A server (twistd3 socks) on a free port of 127.0.0.1: CONNECT only, no
// authentication (the user id is ignored), no SOCKS5. It starts in about a second.
class TwistdSocksServer {
public:
    TwistdSocksServer();
    ~TwistdSocksServer();

    static std::optional<std::string> unavailableReason();

    uint16_t port() const { return port_; }
    std::string logContents() const;
    // Connections the proxy made to 127.0.0.1:destPort for its clients, as its log tells.
    size_t connectionsTo(uint16_t destPort) const;
    // Connections made through the proxy to any port of 127.0.0.1.
    size_t connectionsToAnyPort() const;

private:
    TempDir dir_;
    uint16_t port_ = 0;
    std::unique_ptr<DaemonProcess> daemon_;
};

} // namespace brisk::test
