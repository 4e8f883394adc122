#include "ftp/rate_budget.h"

#include <algorithm>
#include <limits>

namespace brisk {

namespace {
constexpr int64_t kMaxRate = std::numeric_limits<int64_t>::max() / 4000; // balance in milli-bytes stays in range
} // namespace

RateBudget::RateBudget(int64_t bytesPerSecond) : rate_(std::clamp<int64_t>(bytesPerSecond, 1, kMaxRate)) {}

void RateBudget::refill(uint64_t nowMs)
{
    if (!started_ || nowMs < last_) {
        started_ = true;
        last_ = nowMs;
        return;
    }
    const uint64_t elapsed = nowMs - last_;
    last_ = nowMs;
    const int64_t saved = rate_ * 250; // a quarter second's worth at most
    if (elapsed >= uint64_t(std::numeric_limits<int64_t>::max() / rate_) / 2)
        balance_ = saved;
    else
        balance_ = std::min(balance_ + int64_t(elapsed) * rate_, saved);
}

uint64_t RateBudget::waitMs(uint64_t nowMs)
{
    refill(nowMs);
    if (balance_ >= 0)
        return 0;
    return uint64_t((-balance_ + rate_ - 1) / rate_);
}

void RateBudget::spend(int64_t bytes, uint64_t nowMs)
{
    refill(nowMs);
    const int64_t cost = std::min<int64_t>(std::max<int64_t>(bytes, 0), kMaxRate) * 1000;
    balance_ = std::max(balance_ - cost, -kMaxRate * 1000);
}

} // namespace brisk
