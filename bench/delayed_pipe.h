// One direction of a relayed connection: the bytes read from one socket, held until their arrival
// plus a fixed delay and then written to the other socket in order; the source's end of stream is
// passed on the same way, as a half close.
#pragma once
#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>

namespace bench {

class DelayedPipe {
public:
    using Clock = std::chrono::steady_clock;

    explicit DelayedPipe(Clock::duration delay) : delay_(delay) {}

    // Reading stops while this much waits, so that a slow reader holds back the writer.
    bool wantsInput() const { return !ended_ && held_ < kMaxHeld; }
    void push(std::string bytes, Clock::time_point arrival);
    void end(Clock::time_point arrival);

    // Writes what is due to `out` without blocking; false when `out` failed.
    bool flush(int out, Clock::time_point now);
    // The socket took no more: wait for it to be writable before the next flush.
    bool blocked() const { return blocked_; }
    void writable() { blocked_ = false; }
    // When the next flush has something to do, if not blocked.
    std::optional<Clock::time_point> nextDue() const;
    // The end of stream was passed on.
    bool finished() const { return finished_; }

private:
    static constexpr size_t kMaxHeld = 32 << 20;

    struct Chunk {
        Clock::time_point due;
        std::string bytes; // empty: the end of stream
    };

    Clock::duration delay_;
    std::deque<Chunk> chunks_;
    size_t sentOfFront_ = 0;
    size_t held_ = 0;
    bool ended_ = false;
    bool finished_ = false;
    bool blocked_ = false;
};

} // namespace bench
