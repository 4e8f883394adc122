#include "scripted_socks_peer.h"

#include "peer_io.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <stdexcept>

namespace brisk::test {
namespace {

constexpr auto kWaitLimit = std::chrono::seconds(5);
constexpr auto kByteGap = std::chrono::milliseconds(15);

} // namespace

// One connection being served: the bytes read but not yet taken by a step.
class ScriptedSocksPeer::Session {
public:
    Session(ScriptedSocksPeer& peer, UniqueFd fd, size_t index) : peer_(peer), fd_(std::move(fd)), index_(index) {}

    // Runs the script; then reads until the client closes. Returns whether the client closed.
    bool run()
    {
        using Step = SocksScript::Step;
        for (const auto& step : peer_.script_.steps()) {
            switch (step.kind) {
            case Step::Expect: take(step.count); break;
            case Step::ExpectLine: takeLine(); break;
            case Step::Reply: send(step.bytes); break;
            case Step::ReplyByteByByte: sendByteByByte(step.bytes); break;
            case Step::HangUp: fd_.reset(); return false;
            }
        }
        while (readMore()) {
        }
        return true;
    }

private:
    void take(size_t n)
    {
        while (pending_.size() < n)
            if (!readMore())
                throw std::runtime_error("client closed while " + std::to_string(n) + " bytes were expected");
        pending_.erase(0, n);
    }

    void takeLine()
    {
        size_t end;
        while ((end = pending_.find('\n')) == std::string::npos)
            if (!readMore())
                throw std::runtime_error("client closed while a line was expected");
        pending_.erase(0, end + 1);
    }

    bool readMore()
    {
        const std::string bytes = peer_io::receiveSome(fd_.get(), peer_.listener_.stopFd(), deadline());
        if (bytes.empty())
            return false;
        pending_ += bytes;
        peer_.connections_.update(index_, [&](Connection& c) { c.received += bytes; });
        return true;
    }

    void send(const std::string& bytes) { peer_io::sendAll(fd_.get(), bytes, peer_.listener_.stopFd(), deadline()); }

    void sendByteByByte(const std::string& bytes)
    {
        const int on = 1;
        ::setsockopt(fd_.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        for (char c : bytes) {
            send(std::string(1, c));
            std::this_thread::sleep_for(kByteGap);
        }
    }

    static peer_io::Deadline deadline() { return std::chrono::steady_clock::now() + kWaitLimit; }

    ScriptedSocksPeer& peer_;
    UniqueFd fd_;
    size_t index_;
    std::string pending_;
};

ScriptedSocksPeer::ScriptedSocksPeer(SocksScript script)
    : script_(std::move(script)),
      listener_([this](UniqueFd fd) { serve(std::move(fd)); })
{
}

ScriptedSocksPeer::~ScriptedSocksPeer() = default;

void ScriptedSocksPeer::serve(UniqueFd fd)
{
    const size_t index = connections_.add();
    bool byClient = false;
    try {
        byClient = Session(*this, std::move(fd), index).run();
    } catch (const std::exception&) { // a failed step (a timeout, the client gone) ends the connection
    }
    connections_.update(index, [&](Connection& c) { c.ended = true, c.clientClosed = byClient; });
}

size_t ScriptedSocksPeer::connectionCount() const
{
    return connections_.count();
}

std::string ScriptedSocksPeer::received(size_t connection) const
{
    return connections_.at(connection).received;
}

bool ScriptedSocksPeer::waitForEnd(size_t connection, std::chrono::milliseconds limit) const
{
    return connections_.waitFor(connection, limit, [](const Connection& c) { return c.ended; });
}

bool ScriptedSocksPeer::clientClosed(size_t connection) const
{
    return connections_.at(connection).clientClosed;
}

} // namespace brisk::test
