#pragma once

#include "unique_fd.h"

#include <netinet/in.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace brisk::test::peer_io {

// Thrown by every wait when the peer is shutting down; unwinds a running rule. Deliberately not a
// std::exception, so that a rule's own catch blocks do not swallow it.
struct Stopped {};

using Deadline = std::chrono::steady_clock::time_point;
inline constexpr Deadline kNoDeadline = Deadline::max();

// Waits until `fd` has `events` (POLLIN/POLLOUT); throws Stopped when `stopFd` fires and
// std::runtime_error at the deadline.
void waitFor(int fd, short events, int stopFd, Deadline deadline);

// Sends every byte (MSG_NOSIGNAL); throws std::runtime_error when the other side is gone.
void sendAll(int fd, std::string_view bytes, int stopFd, Deadline deadline);

// One recv after waiting for input: the bytes read, empty at end of stream (or on a reset).
std::string receiveSome(int fd, int stopFd, Deadline deadline);

// A listening TCP socket on 127.0.0.1 with a port chosen by the system; returns the fd.
int listenOnLoopback(uint16_t& port);
// The same on ::1.
int listenOnIpv6Loopback(uint16_t& port);

// Accepts one connection (waiting as waitFor does); returns the new fd.
int acceptOne(int listenFd, int stopFd, Deadline deadline);

// Connects to the address (waiting as waitFor does); returns the new fd.
int connectTo(const sockaddr_in& address, int stopFd, Deadline deadline);

} // namespace brisk::test::peer_io

namespace brisk::test {

// The listening side of a scripted peer: a port on 127.0.0.1 and a thread that hands each accepted
// connection to `serve`, one after the other. Destroying it wakes every wait on stopFd() and joins the
// thread, so it must be the last member of its owner (destroyed first).
class PeerListener {
public:
    using Serve = std::function<void(UniqueFd)>;

    explicit PeerListener(Serve serve, bool ipv6 = false);
    ~PeerListener();
    PeerListener(const PeerListener&) = delete;
    PeerListener& operator=(const PeerListener&) = delete;

    uint16_t port() const { return port_; }
    int stopFd() const { return stop_.get(); }

private:
    void run();

    Serve serve_;
    UniqueFd stop_;
    UniqueFd listener_;
    uint16_t port_ = 0;
    std::thread thread_;
};

// What a scripted peer records of each connection, written on its thread and read or awaited by the test.
template <typename Record>
class PeerRecords {
public:
    // A new connection's record; returns its index.
    size_t add()
    {
        std::lock_guard lock(mutex_);
        records_.emplace_back();
        changed_.notify_all();
        return records_.size() - 1;
    }
    template <typename Change>
    void update(size_t i, Change change)
    {
        std::lock_guard lock(mutex_);
        change(records_[i]);
        changed_.notify_all();
    }
    size_t count() const
    {
        std::lock_guard lock(mutex_);
        return records_.size();
    }
    // A copy of connection i's record; an empty one before that connection came.
    Record at(size_t i) const
    {
        std::lock_guard lock(mutex_);
        return i < records_.size() ? records_[i] : Record{};
    }
    // True once connection i exists and `done` holds for its record; false when the limit passes first.
    template <typename Done>
    bool waitFor(size_t i, std::chrono::milliseconds limit, Done done) const
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return i < records_.size() && done(records_[i]); });
    }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<Record> records_;
};

} // namespace brisk::test
