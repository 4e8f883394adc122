// The delaying relay's event loop, on one thread: accepts control connections, rewrites passive
// replies to name ports of its own, accepts the data connections there, and moves every byte through
// a delayed pipe. It sleeps in poll until a socket is ready or the next chunk is due.
#pragma once
#include "relay_link.h"

#include <poll.h>

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace bench {

class RelayLoop {
public:
    using Clock = DelayedPipe::Clock;

    RelayLoop(uint16_t serverPort, Clock::duration delay);

    uint16_t port() const { return port_; }
    uint64_t dataConnections() const { return dataConnections_; }
    // Relays until `stopFd` becomes readable; closes every socket on return.
    void run(int stopFd);

private:
    enum class Role { controlListener, dataListener, client, server };
    struct Watch {
        Role role;
        RelayLink* link;
    };

    void flushAll(Clock::time_point now);
    void watch(std::vector<pollfd>& fds, std::vector<Watch>& roles) const;
    std::optional<Clock::time_point> nextDue() const;
    void handle(const Watch& w, short revents, Clock::time_point now);
    void acceptControl();
    void acceptData(RelayLink& control);
    void read(RelayLink& link, bool fromClient, Clock::time_point now);
    std::string rewritePassiveReplies(RelayLink& control, std::string bytes);
    uint16_t openDataListener(RelayLink& control, uint16_t serverDataPort);

    uint16_t serverPort_;
    Clock::duration delay_;
    uint16_t port_ = 0; // before listener_, which sets it
    brisk::test::UniqueFd listener_;
    std::vector<std::unique_ptr<RelayLink>> links_;
    std::vector<char> buffer_;
    std::atomic<uint64_t> dataConnections_{0};
};

} // namespace bench
