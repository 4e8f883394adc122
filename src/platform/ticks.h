#pragma once
#include <cstdint>

namespace brisk {

// Milliseconds from a monotonic clock; only differences are meaningful.
uint64_t tickCount();

} // namespace brisk
