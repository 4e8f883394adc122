#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>

namespace brisk::test {

// A port on 127.0.0.1 that nobody listens on right now (the system chooses it). Another process may
// take it before the caller binds it, so callers retry on a bind failure.
uint16_t pickFreeLoopbackPort();

// The socket inode of a TCP listener on 127.0.0.1:port (or [::1]:port), read from /proc/net/tcp (or
// tcp6); no connection is made.
std::optional<unsigned long> loopbackListenerInode(uint16_t port, bool ipv6 = false);

// Whether a socket can be bound to ::1 here: some machines have no IPv6 loopback.
bool ipv6LoopbackAvailable();

// Whether process `pid` holds the socket with this inode among its open files.
bool processOwnsSocket(pid_t pid, unsigned long inode);

} // namespace brisk::test
