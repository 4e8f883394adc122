#pragma once

#include <cstdint>

namespace brisk::test {

// A port on 127.0.0.1 that nobody listens on right now (the system chooses it). Another process may
// take it before the caller binds it, so callers retry on a bind failure.
uint16_t pickFreeLoopbackPort();

// Whether a socket can be bound to ::1 here: some machines have no IPv6 loopback.
bool ipv6LoopbackAvailable();

} // namespace brisk::test
