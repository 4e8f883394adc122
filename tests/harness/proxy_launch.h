#pragma once

#include "daemon_process.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace brisk::test {

// Starts a daemon listening on a free port of 127.0.0.1 chosen here. Another process may take the
// port before the daemon binds it; the daemon then exits and a new port is tried (5 times).
// Returns the running daemon and sets `port`; throws with the daemon's output otherwise.
std::unique_ptr<DaemonProcess> launchOnFreePort(const std::function<DaemonLaunch(uint16_t port)>& specFor,
                                                uint16_t& port,
                                                std::chrono::milliseconds limit = std::chrono::seconds(10));

// Lines of a log (without their line end) that match.
size_t countLines(std::string_view log, const std::function<bool(std::string_view line)>& match);

// Whether the line ends with `tail`.
bool endsWith(std::string_view line, std::string_view tail);

} // namespace brisk::test
