#pragma once
#include "unique_fd.h"

#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace brisk::test {

// The listening side of a scripted peer: a port on 127.0.0.1 and a thread that hands each accepted
// connection to `serve`, one after the other. Destroying it wakes every wait on stopFd() and joins the
// thread, so it must be the last member of its owner (destroyed first).
class PeerListener {
public:
    using Serve = std::function<void(UniqueFd)>;
    using Report = std::function<void(const std::string&)>;

    PeerListener(Serve serve, Report error);
    ~PeerListener();
    PeerListener(const PeerListener&) = delete;
    PeerListener& operator=(const PeerListener&) = delete;

    uint16_t port() const { return port_; }
    int stopFd() const { return stop_.get(); }

private:
    void run();

    Serve serve_;
    Report error_;
    UniqueFd stop_;
    UniqueFd listener_;
    uint16_t port_ = 0;
    std::thread thread_;
};

} // namespace brisk::test
