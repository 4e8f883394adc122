#include "scripted_ftp_peer.h"

#include "peer_io.h"
#include "platform/ascii.h"

#include <cstdint>
#include <stdexcept>

namespace brisk::test {
namespace {

// A client that never ends its line must not make the peer grow without bound.
constexpr size_t kMaxLineBytes = 1 << 20;

std::string verbOf(const std::string& line)
{
    return toUpperAscii(line.substr(0, line.find(' ')));
}

} // namespace

ScriptedFtpPeer::ScriptedFtpPeer(std::string banner, bool ipv6)
    : banner_(std::move(banner)), defaultRule_(sending("502 Command not implemented.\r\n")),
      listener_([this](UniqueFd control) { serve(std::move(control)); }, ipv6)
{
}

ScriptedFtpPeer::~ScriptedFtpPeer() = default;

void ScriptedFtpPeer::on(const std::string& verb, PeerRule rule)
{
    std::lock_guard lock(mutex_);
    verbRules_[verbOf(verb)] = std::move(rule);
}

void ScriptedFtpPeer::onLine(const std::string& line, PeerRule rule)
{
    std::lock_guard lock(mutex_);
    lineRules_[line] = std::move(rule);
}

void ScriptedFtpPeer::setDefault(PeerRule rule)
{
    std::lock_guard lock(mutex_);
    defaultRule_ = std::move(rule);
}

void ScriptedFtpPeer::setWaitLimit(std::chrono::milliseconds limit)
{
    std::lock_guard lock(mutex_);
    waitLimit_ = limit;
}

PeerRule ScriptedFtpPeer::sending(std::string raw)
{
    return [raw = std::move(raw)](PeerSession& session, const std::string&) { session.send(raw); };
}

PeerRule ScriptedFtpPeer::silence()
{
    return [](PeerSession&, const std::string&) {};
}

PeerRule ScriptedFtpPeer::hangUp()
{
    return [](PeerSession& session, const std::string&) { session.closeControl(); };
}

PeerRule ScriptedFtpPeer::passive()
{
    return [](PeerSession& session, const std::string&) {
        session.send(PeerSession::passiveReply(session.listenForData()));
    };
}

void ScriptedFtpPeer::acceptLogin()
{
    on("USER", "331 pass\r\n");
    on("PASS", "230 in\r\n");
    on("TYPE", "200 ok\r\n");
    on("QUIT", "221 bye\r\n");
}

void ScriptedFtpPeer::serve(UniqueFd control)
{
    const size_t index = connections_.add();
    std::unique_lock lock(mutex_);
    PeerSession session(std::move(control), listener_.stopFd(), waitLimit_, index);
    lock.unlock();
    try {
        converse(session);
    } catch (const std::exception&) {
    }
    connections_.update(index, [](Connection& c) { c.ended = true; });
}

void ScriptedFtpPeer::converse(PeerSession& session)
{
    std::string banner;
    {
        std::lock_guard lock(mutex_);
        banner = banner_;
    }
    if (!banner.empty())
        session.send(banner);
    std::string pending;
    while (!session.controlClosed()) {
        const size_t end = pending.find('\n');
        if (end == std::string::npos) {
            if (pending.size() > kMaxLineBytes)
                throw std::runtime_error("client line longer than 1 MiB");
            const std::string more =
                peer_io::receiveSome(session.control_.get(), listener_.stopFd(), peer_io::kNoDeadline);
            if (more.empty())
                return;
            pending += more;
            continue;
        }
        std::string line = pending.substr(0, end);
        pending.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        connections_.update(session.connection(), [&](Connection& c) { c.lines.push_back(line); });
        ruleFor(line)(session, line);
    }
}

PeerRule ScriptedFtpPeer::ruleFor(const std::string& line) const
{
    std::lock_guard lock(mutex_);
    if (const auto it = lineRules_.find(line); it != lineRules_.end())
        return it->second;
    if (const auto it = verbRules_.find(verbOf(line)); it != verbRules_.end())
        return it->second;
    return defaultRule_;
}

size_t ScriptedFtpPeer::connectionCount() const
{
    return connections_.count();
}

std::vector<std::string> ScriptedFtpPeer::lines(size_t connection) const
{
    return connections_.at(connection).lines;
}

bool ScriptedFtpPeer::waitForLines(size_t count, std::chrono::milliseconds limit, size_t connection) const
{
    return connections_.waitFor(connection, limit, [&](const Connection& c) { return c.lines.size() >= count; });
}

bool ScriptedFtpPeer::waitForConnections(size_t count, std::chrono::milliseconds limit) const
{
    return count == 0 || connections_.waitFor(count - 1, limit, [](const Connection&) { return true; });
}

bool ScriptedFtpPeer::waitForDisconnect(size_t connection, std::chrono::milliseconds limit) const
{
    return connections_.waitFor(connection, limit, [](const Connection& c) { return c.ended; });
}

} // namespace brisk::test
