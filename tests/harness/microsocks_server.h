#pragma once

#include "server_daemon.h"

namespace brisk::test {

// microsocks, a SOCKS5-only server, requiring the user name and password below (they are not system
// accounts). It logs each connection it makes for a client.
class MicrosocksServer : public SocksDaemon {
public:
    static constexpr const char* kUser = "sockuser";
    static constexpr const char* kPassword = "sock-pw";

    MicrosocksServer();

    static std::optional<std::string> unavailableReason();
};

} // namespace brisk::test
