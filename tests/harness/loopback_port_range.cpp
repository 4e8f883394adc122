#include "loopback_port_range.h"

#include "unique_fd.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <random>
#include <stdexcept>
#include <string>

namespace brisk::test {
namespace {

// Below Linux's default ephemeral range (32768-60999) and clear of 23000-23099, which shared test
// scripts on the same machine use.
constexpr unsigned kLowest = 24000;
constexpr unsigned kHighest = 32767;
constexpr int kPortAttempts = 50;

// Connections other tests closed linger in TIME_WAIT on these ports; the servers bind with
// SO_REUSEADDR as listeners do, so only a port someone listens on or uses counts as taken.
bool portBindable(unsigned port)
{
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const int on = 1;
    ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    return fd.valid() && ::bind(fd.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
}

bool blockBindable(unsigned first, unsigned count)
{
    for (unsigned port = first; port < first + count; ++port) {
        if (!portBindable(port))
            return false;
    }
    return true;
}

} // namespace

PortRange pickFreeLoopbackPortRange(uint16_t count)
{
    const unsigned blocks = (kHighest - kLowest + 1) / (count == 0 ? 1 : count);
    if (count == 0 || blocks == 0)
        throw std::invalid_argument("cannot pick " + std::to_string(count) + " consecutive ports");
    std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<unsigned> pick(0, blocks - 1);
    for (int attempt = 0; attempt < kPortAttempts; ++attempt) {
        const unsigned first = kLowest + pick(random) * count;
        if (blockBindable(first, count))
            return {static_cast<uint16_t>(first), static_cast<uint16_t>(first + count - 1)};
    }
    throw std::runtime_error("no block of " + std::to_string(count) + " free ports on 127.0.0.1");
}

} // namespace brisk::test
