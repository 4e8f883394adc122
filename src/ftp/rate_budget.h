#pragma once
#include <cstdint>

namespace brisk {

// Bytes per second for the transfers that share one budget (all the connections of a limit): each
// goes on while the budget is not overdrawn, and one that overdrew it waits until time has paid the
// debt back. Unused time saves up a quarter of a second's worth at most, so a pause is no license to
// burst.
class RateBudget {
public:
    explicit RateBudget(int64_t bytesPerSecond);

    // Milliseconds to wait at `nowMs` before moving more bytes; 0: go on.
    uint64_t waitMs(uint64_t nowMs);
    void spend(int64_t bytes, uint64_t nowMs);
    int64_t bytesPerSecond() const { return rate_; }

private:
    void refill(uint64_t nowMs);

    int64_t rate_;
    int64_t balance_ = 0; // in bytes × 1000, so that a millisecond's worth is never rounded away
    uint64_t last_ = 0;
    bool started_ = false;
};

} // namespace brisk
