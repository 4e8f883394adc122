#pragma once
#include "peer_io.h"

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace brisk::test {

// A byte string written as numbers: bytes({5, 1, 0}).
inline std::string bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values)
        out += char(uint8_t(v));
    return out;
}

// What a ScriptedSocksPeer does on each connection, in order.
class SocksScript {
public:
    struct Step {
        enum Kind { Expect, ExpectLine, Reply, ReplyByteByByte, HangUp } kind;
        size_t count = 0;
        std::string bytes;
    };

    // Waits for exactly n more bytes from the client.
    SocksScript& expect(size_t n) { return add({Step::Expect, n, {}}); }
    // Waits for the client's bytes up to and including the next LF (an FTP command).
    SocksScript& expectLine() { return add({Step::ExpectLine, 0, {}}); }
    // Sends the bytes in one piece.
    SocksScript& reply(std::string bytes) { return add({Step::Reply, 0, std::move(bytes)}); }
    // Sends the bytes one at a time, a few milliseconds apart, so that each arrives on its own.
    SocksScript& replyByteByByte(std::string bytes) { return add({Step::ReplyByteByByte, 0, std::move(bytes)}); }
    // Closes the connection.
    SocksScript& hangUp() { return add({Step::HangUp, 0, {}}); }

    const std::vector<Step>& steps() const { return steps_; }

private:
    SocksScript& add(Step step)
    {
        steps_.push_back(std::move(step));
        return *this;
    }
    std::vector<Step> steps_;
};

// A scripted SOCKS server (and, behind it, FTP server) on 127.0.0.1 for the replies no real proxy
// sends. It serves connections one after another on its own thread, each with the same script, and
// records every byte each client sent, exactly. After the script it keeps reading (and recording)
// until the client closes. Every wait is limited (5 s); a timeout ends the connection. Destruction
// stops the thread at once.
class ScriptedSocksPeer {
public:
    explicit ScriptedSocksPeer(SocksScript script);
    ~ScriptedSocksPeer();
    ScriptedSocksPeer(const ScriptedSocksPeer&) = delete;
    ScriptedSocksPeer& operator=(const ScriptedSocksPeer&) = delete;

    uint16_t port() const { return listener_.port(); }

    size_t connectionCount() const;
    // Everything the client sent on one connection so far.
    std::string received(size_t connection = 0) const;
    // True once the connection has ended (the client closed it, or the script hung up).
    bool waitForEnd(size_t connection, std::chrono::milliseconds limit) const;
    // True when the client closed its side (as opposed to the script hanging up).
    bool clientClosed(size_t connection = 0) const;

private:
    struct Connection {
        std::string received;
        bool ended = false;
        bool clientClosed = false;
    };
    class Session;

    void serve(UniqueFd fd);

    SocksScript script_;
    PeerRecords<Connection> connections_;

    PeerListener listener_;  // last: its thread stops before anything it uses goes
};

} // namespace brisk::test
