// A relay on 127.0.0.1 in front of a local FTP server that adds a fixed one-way delay in each
// direction, as a slow link would: every chunk read is passed on in order, no earlier than its arrival
// plus the delay. Bandwidth is not limited. Passive replies (227, 229) are rewritten to name ports of
// the relay, whose data connections get the same delay. Active mode (PORT, EPRT) is not supported: those
// commands pass unchanged, so the server would connect to the client directly, without delay. The TCP
// handshakes are not delayed either: a real link would add one round trip to each connection set-up.
#pragma once
#include "unique_fd.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>

namespace bench {

class RelayLoop;

class DelayRelay {
public:
    DelayRelay(uint16_t serverPort, std::chrono::microseconds oneWayDelay);
    ~DelayRelay();
    DelayRelay(const DelayRelay&) = delete;
    DelayRelay& operator=(const DelayRelay&) = delete;

    // Where clients connect instead of the server.
    uint16_t port() const;
    uint64_t dataConnections() const;

private:
    std::unique_ptr<RelayLoop> loop_;
    brisk::test::UniqueFd stop_;
    std::thread thread_;
};

// The time from a NOOP sent through `port` to its reply, in milliseconds: the round trip clients see.
double noopRoundTripMs(uint16_t port);

} // namespace bench
