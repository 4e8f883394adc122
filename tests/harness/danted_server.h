#pragma once

#include "daemon_process.h"
#include "temp_dir.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace brisk::test {

enum class DantedAuth {
    None,     // SOCKS4 and SOCKS5 without authentication
    Username, // SOCKS5 with user name and password of a system account (kFtpUser / kFtpPassword);
              // SOCKS4 and SOCKS5 without credentials are refused
};

// A private dante SOCKS server on a free port of 127.0.0.1, its configuration and log in a fresh
// temp dir, allowing CONNECT (and BIND) from and to loopback. dante cannot do SOCKS4A (it takes
// 0.0.0.1 literally). Needs root: check unavailableReason() first and skip the test with it.
class DantedServer {
public:
    explicit DantedServer(DantedAuth auth = DantedAuth::None);
    ~DantedServer();

    static std::optional<std::string> unavailableReason(DantedAuth auth = DantedAuth::None);

    uint16_t port() const { return port_; }

    // dante's log: one line per accepted client and per connection made for it.
    std::string logContents() const;
    // Connections the proxy made to 127.0.0.1:destPort for its clients, as its log tells.
    size_t connectionsTo(uint16_t destPort) const;
    // Connections made through the proxy to any port of 127.0.0.1.
    size_t connectionsToAnyPort() const;

private:
    void writeConfig(DantedAuth auth, uint16_t port) const;

    TempDir dir_;
    uint16_t port_ = 0;
    std::unique_ptr<DaemonProcess> daemon_;
};

} // namespace brisk::test
