#pragma once

#include "server_daemon.h"

namespace brisk::test {

// Twisted's SOCKS4 and SOCKS4A server (twistd3 socks): CONNECT only, no authentication (the user id
// is ignored), no SOCKS5. It starts in about a second.
class TwistdSocksServer : public SocksDaemon {
public:
    TwistdSocksServer();

    static std::optional<std::string> unavailableReason();
};

} // namespace brisk::test
