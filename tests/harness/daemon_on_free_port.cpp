#include "daemon_on_free_port.h"

#include "loopback_port.h"

#include <stdexcept>
#include <string>

namespace brisk::test {
namespace {

constexpr int kStartAttempts = 4;

} // namespace

ListeningDaemon startOnFreePort(const std::function<DaemonLaunch(uint16_t port)>& specFor,
                                std::chrono::milliseconds listenLimit, bool ipv6)
{
    std::string lastError;
    for (int attempt = 1; attempt <= kStartAttempts; ++attempt) {
        ListeningDaemon started;
        started.port = pickFreeLoopbackPort();
        started.daemon = std::make_unique<DaemonProcess>(specFor(started.port));
        try {
            started.daemon->waitListening(started.port, listenLimit, ipv6);
            return started;
        } catch (const std::runtime_error& e) {
            lastError = e.what();
        }
    }
    throw std::runtime_error("no start in " + std::to_string(kStartAttempts) + " attempts; last: " + lastError);
}

} // namespace brisk::test
