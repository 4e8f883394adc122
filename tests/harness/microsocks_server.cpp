#include "microsocks_server.h"

#include "daemon_on_free_port.h"
#include "log_lines.h"

#include <unistd.h>

#include <stdexcept>

namespace brisk::test {
namespace {
constexpr const char* kMicrosocks = "/usr/bin/microsocks";
} // namespace

std::optional<std::string> MicrosocksServer::unavailableReason()
{
    if (::access(kMicrosocks, X_OK) != 0)
        return std::string(kMicrosocks) + " is missing (package microsocks)";
    return std::nullopt;
}

MicrosocksServer::MicrosocksServer()
{
    if (auto why = unavailableReason())
        throw std::runtime_error("microsocks cannot run: " + *why);
    // No -1 ("auth once"): it would let later clients of the address in without a password.
    ListeningDaemon started = startOnFreePort(
        [&](uint16_t port) {
            return DaemonLaunch{{kMicrosocks, "-i", "127.0.0.1", "-p", std::to_string(port), "-u", kUser, "-P", kPassword},
                              dir_.path() / "microsocks.out",
                              {}};
        },
        std::chrono::seconds(10));
    port_ = started.port;
    daemon_ = std::move(started.daemon);
}

MicrosocksServer::~MicrosocksServer() = default;

std::string MicrosocksServer::logContents() const
{
    return daemon_ ? daemon_->output() : std::string();
}

// "client[4] 127.0.0.1: connected to 127.0.0.1:<destPort>"
size_t MicrosocksServer::connectionsTo(uint16_t destPort) const
{
    const std::string tail = "connected to 127.0.0.1:" + std::to_string(destPort);
    return countLines(logContents(), [&](std::string_view line) { return endsWith(line, tail); });
}

size_t MicrosocksServer::connectionsToAnyPort() const
{
    return countLines(logContents(), [](std::string_view line) {
        return line.find("connected to 127.0.0.1:") != std::string_view::npos;
    });
}

} // namespace brisk::test
