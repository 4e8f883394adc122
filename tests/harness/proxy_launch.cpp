#include "proxy_launch.h"

#include "loopback_port.h"

#include <stdexcept>

namespace brisk::test {
namespace {
constexpr int kStartAttempts = 5;
} // namespace

std::unique_ptr<DaemonProcess> launchOnFreePort(const std::function<DaemonLaunch(uint16_t port)>& specFor,
                                                uint16_t& port, std::chrono::milliseconds limit)
{
    for (int attempt = 1; attempt <= kStartAttempts; ++attempt) {
        port = pickFreeLoopbackPort();
        auto daemon = std::make_unique<DaemonProcess>(specFor(port));
        try {
            daemon->waitListening(port, limit);
            return daemon;
        } catch (const std::runtime_error&) {
            if (daemon->running())
                throw;
        }
    }
    throw std::runtime_error("no free port taken in " + std::to_string(kStartAttempts) + " attempts");
}

size_t countLines(std::string_view log, const std::function<bool(std::string_view line)>& match)
{
    size_t count = 0;
    while (!log.empty()) {
        const size_t end = log.find('\n');
        std::string_view line = log.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (match(line))
            ++count;
        log = end == std::string_view::npos ? std::string_view() : log.substr(end + 1);
    }
    return count;
}

bool endsWith(std::string_view line, std::string_view tail)
{
    return line.size() >= tail.size() && line.substr(line.size() - tail.size()) == tail;
}

} // namespace brisk::test
