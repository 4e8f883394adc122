#pragma once

#include <cstdint>

namespace brisk::test {

struct PortRange {
    uint16_t first = 0;
    uint16_t last = 0;   // inclusive
};

// `count` consecutive ports of 127.0.0.1, none of them bound right now, for a server that must be
// given a fixed passive port range. Blocks are drawn at random below the system's ephemeral range
// (which the other servers' ports come from) so that parallel tests rarely share one; the servers
// skip a port that is taken anyway. Throws when no free block is found.
PortRange pickFreeLoopbackPortRange(uint16_t count);

} // namespace brisk::test
