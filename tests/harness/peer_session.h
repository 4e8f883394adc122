#pragma once

#include "unique_fd.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace brisk::test {

// One control connection of ScriptedFtpPeer, handed to the rules. A rule may send raw bytes, close
// the control connection, and drive one data connection at a time, in any order it likes. Each wait
// is bounded by the peer's wait limit (std::runtime_error when it passes, which ends the session) and
// ends at once when the peer is destroyed.
class PeerSession {
public:
    PeerSession(UniqueFd control, int stopFd, std::chrono::milliseconds waitLimit, size_t connection);

    // Index of this control connection (0 = the first accepted).
    size_t connection() const { return connection_; }

    // Sends raw bytes on the control connection (line ends included by the caller).
    void send(std::string_view bytes);
    // Closes the control connection; the peer then waits for the next client.
    void closeControl();
    // Closes it with a reset (RST) instead of an orderly close.
    void resetControl();
    bool controlClosed() const { return !control_.valid(); }

    // Opens a passive data listener on 127.0.0.1 and returns its port (answer PASV with any text).
    uint16_t listenForData();
    // The usual answer to PASV for a port on 127.0.0.1, with CR LF.
    static std::string passiveReply(uint16_t port);
    // Accepts the client's connection on the passive listener and closes the listener.
    void acceptData();
    // Connects to the address of a PORT command line ("PORT h1,h2,h3,h4,p1,p2" or only its
    // argument). Only loopback addresses are accepted.
    void connectData(const std::string& portCommand);
    // Connects to the address of a PORT command line from another loopback source address (an
    // intruder, say "127.0.0.2"), sends the bytes and closes; the server's own data connection is
    // not touched.
    void intrudeData(const std::string& sourceAddress, const std::string& portCommand, std::string_view bytes);
    // Sends bytes on the data connection.
    void sendData(std::string_view bytes);
    // Ends the data connection with a reset (RST) instead of a close.
    void resetData();
    // Reads the data connection until the client closes it.
    std::string receiveDataUntilClose();
    // Closes the data connection and any passive listener.
    void closeData();

private:
    friend class ScriptedFtpPeer;

    std::chrono::steady_clock::time_point deadline() const;
    int dataFd() const;

    UniqueFd control_;
    UniqueFd dataListener_;
    UniqueFd data_;
    int stopFd_;
    std::chrono::milliseconds waitLimit_;
    size_t connection_;
};

} // namespace brisk::test
