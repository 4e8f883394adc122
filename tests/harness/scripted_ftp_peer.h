#pragma once

#include "peer_io.h"
#include "peer_session.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace brisk::test {

// How the peer answers one command line. The rule runs on the peer's thread.
using PeerRule = std::function<void(PeerSession& session, const std::string& line)>;

// A scripted FTP server on 127.0.0.1 (or ::1; port chosen by the system) for replies that no real server
// sends. It serves control connections one after another on its own thread: it sends the banner
// bytes exactly as given (empty = a silent server), then answers each received line with the first
// matching rule: a rule for the whole line, else a rule for its verb (the first word, compared
// without regard to case), else the default reply ("502 Command not implemented.\r\n").
// Every line the client sends is recorded per connection, exactly, without its line end (LF or
// CR LF). Rules may be added at any time; a later rule for the same key replaces the earlier one.
// Destruction stops the thread at once, even while a client is connected or a rule waits. A rule
// that fails (a wait that timed out, a send to a closed connection) ends its session.
class ScriptedFtpPeer {
public:
    explicit ScriptedFtpPeer(std::string banner = "220 Scripted peer ready.\r\n", bool ipv6 = false);
    ~ScriptedFtpPeer();
    ScriptedFtpPeer(const ScriptedFtpPeer&) = delete;
    ScriptedFtpPeer& operator=(const ScriptedFtpPeer&) = delete;

    uint16_t port() const { return listener_.port(); }

    void on(const std::string& verb, PeerRule rule);
    void on(const std::string& verb, std::string rawReply) { on(verb, sending(std::move(rawReply))); }
    void onLine(const std::string& line, PeerRule rule);
    void onLine(const std::string& line, std::string rawReply) { onLine(line, sending(std::move(rawReply))); }
    void setDefault(PeerRule rule);
    void setDefault(std::string rawReply) { setDefault(sending(std::move(rawReply))); }
    // Limit of each wait inside a rule (default 10 s).
    void setWaitLimit(std::chrono::milliseconds limit);

    // Rules that answer nothing, close the control connection, or answer PASV with a fresh port.
    static PeerRule silence();
    static PeerRule hangUp();
    static PeerRule passive();
    // Any USER and PASS log in (331, 230); TYPE is accepted, QUIT answered.
    void acceptLogin();

    size_t connectionCount() const;
    // Lines received on one connection so far.
    std::vector<std::string> lines(size_t connection = 0) const;
    // True once the connection has at least `count` lines; false when the limit passes first.
    bool waitForLines(size_t count, std::chrono::milliseconds limit, size_t connection = 0) const;
    bool waitForConnections(size_t count, std::chrono::milliseconds limit) const;
    // True once the connection has ended (closed by either side).
    bool waitForDisconnect(size_t connection, std::chrono::milliseconds limit) const;

private:
    struct Connection {
        std::vector<std::string> lines;
        bool ended = false;
    };

    static PeerRule sending(std::string raw);
    void serve(UniqueFd control);
    void converse(PeerSession& session);
    PeerRule ruleFor(const std::string& line) const;

    mutable std::mutex mutex_;
    std::string banner_;
    std::map<std::string, PeerRule> lineRules_;
    std::map<std::string, PeerRule> verbRules_;
    PeerRule defaultRule_;
    std::chrono::milliseconds waitLimit_{std::chrono::seconds(10)};
    PeerRecords<Connection> connections_;

    PeerListener listener_;  // last: its thread stops before anything it uses goes
};

} // namespace brisk::test
