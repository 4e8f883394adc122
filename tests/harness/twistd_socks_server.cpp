#include "twistd_socks_server.h"

#include "file_io.h"
#include "daemon_on_free_port.h"
#include "log_lines.h"

#include <unistd.h>

#include <stdexcept>

namespace brisk::test {
namespace {
// Debian's twistd: the python3 on PATH may be another installation without Twisted.
constexpr const char* kTwistd = "/usr/bin/twistd3";
} // namespace

std::optional<std::string> TwistdSocksServer::unavailableReason()
{
    if (::access(kTwistd, X_OK) != 0)
        return std::string(kTwistd) + " is missing (package python3-twisted)";
    return std::nullopt;
}

TwistdSocksServer::TwistdSocksServer()
{
    if (auto why = unavailableReason())
        throw std::runtime_error("twistd cannot run: " + *why);
    const auto& root = dir_.path();
    // No "-l FILE" for the socks plugin: its data logger fails every connection.
    ListeningDaemon started = startOnFreePort(
        [&](uint16_t port) {
            return DaemonLaunch{{kTwistd, "-n", "--pidfile", (root / "twistd.pid").string(), "--logfile",
                               (root / "twistd.log").string(), "socks", "-i", "127.0.0.1", "-p",
                               std::to_string(port)},
                              root / "twistd.out",
                              {}};
        },
        std::chrono::seconds(20));
    port_ = started.port;
    daemon_ = std::move(started.daemon);
}

TwistdSocksServer::~TwistdSocksServer() = default;

std::string TwistdSocksServer::logContents() const
{
    return readFileBytes(dir_.path() / "twistd.log");
}

// "... code 1 connection to 127.0.0.1:<destPort> (user b'...') authorized"
size_t TwistdSocksServer::connectionsTo(uint16_t destPort) const
{
    const std::string needle = "connection to 127.0.0.1:" + std::to_string(destPort) + " (";
    return countLines(logContents(), [&](std::string_view line) {
        return line.find(needle) != std::string_view::npos && endsWith(line, "authorized");
    });
}

size_t TwistdSocksServer::connectionsToAnyPort() const
{
    return countLines(logContents(), [](std::string_view line) {
        return line.find("connection to 127.0.0.1:") != std::string_view::npos && endsWith(line, "authorized");
    });
}

} // namespace brisk::test
