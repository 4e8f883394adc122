#pragma once

#include "server_daemon.h"

namespace brisk::test {

// A private ftp-proxy (package ftp-proxy). A client logs in with "USER name@127.0.0.1:PORT"
// (magicUser()) and the proxy opens the session to that backend, relaying the password and every
// later command. Data connections are relayed in the mode the client uses (passive or active),
// through ports the system chooses. The proxy greets with its own 220 banner and answers EPSV, EPRT,
// FEAT and MLSD with 500. A backend it cannot reach gets the client's connection closed without a
// reply. Its log has connections, every command with its destination, the backend's replies and the
// data connections it set up. Check unavailableReason() first and skip the test with it.
class FtpProxyServer : public LoopbackDaemon {
public:
    FtpProxyServer();

    static std::optional<std::string> unavailableReason();

    // The login name that routes a session to 127.0.0.1:backendPort: "name@127.0.0.1:backendPort".
    static std::string magicUser(const std::string& name, uint16_t backendPort);

    // The daemon's stdout and stderr.
    std::string output() const { return daemon_->output(); }
};

} // namespace brisk::test
