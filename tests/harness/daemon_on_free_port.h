#pragma once

#include "daemon_process.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace brisk::test {

struct ListeningDaemon {
    uint16_t port = 0;
    std::unique_ptr<DaemonProcess> daemon;
};

// Starts the daemon that `specFor(port)` describes on a port of 127.0.0.1 that was free a moment ago
// and waits until it listens there (on ::1 with ipv6). Another process may take the port first; servers then exit or
// keep retrying the bind, so any failure is tried again with a new port, a few times, before the
// last error is thrown (it carries the daemon's output).
ListeningDaemon startOnFreePort(const std::function<DaemonLaunch(uint16_t port)>& specFor,
                                std::chrono::milliseconds listenLimit = std::chrono::seconds(10),
                                bool ipv6 = false);

} // namespace brisk::test
