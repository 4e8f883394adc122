#pragma once

#include "server_daemon.h"

namespace brisk::test {

enum class DantedAuth {
    None,     // SOCKS4 and SOCKS5 without authentication
    Username, // SOCKS5 with user name and password of a system account (kFtpUser / kFtpPassword);
              // SOCKS4 and SOCKS5 without credentials are refused
};

// A private dante SOCKS server allowing CONNECT (and BIND) from and to loopback; its log has a line
// per accepted client and per connection made for it. dante cannot do SOCKS4A (it takes 0.0.0.1
// literally). Needs root: check unavailableReason() first and skip the test with it.
class DantedServer : public SocksDaemon {
public:
    explicit DantedServer(DantedAuth auth = DantedAuth::None);

    static std::optional<std::string> unavailableReason(DantedAuth auth = DantedAuth::None);
};

} // namespace brisk::test
