#pragma once
#include "peer_io.h"

#include <cstdint>
#include <mutex>
#include <string>

namespace brisk::test {

// A TCP relay on 127.0.0.1 to a local port that keeps every byte the client sent, to show what went
// over the wire in clear text. One connection at a time.
class RecordingRelay {
public:
    explicit RecordingRelay(uint16_t targetPort);

    uint16_t port() const { return listener_.port(); }
    std::string clientBytes() const;

private:
    void relay(int client);

    uint16_t target_;
    mutable std::mutex mutex_;
    std::string sent_;
    PeerListener listener_; // last: its thread stops first
};

} // namespace brisk::test
