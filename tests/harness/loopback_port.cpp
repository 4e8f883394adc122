#include "loopback_port.h"

#include "peer_io.h"
#include "unique_fd.h"

#include <netinet/in.h>
#include <sys/socket.h>

namespace brisk::test {

uint16_t pickFreeLoopbackPort()
{
    uint16_t port = 0;
    UniqueFd probe(peer_io::listenOnLoopback(port));
    return port;
}

bool ipv6LoopbackAvailable()
{
    UniqueFd probe(::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in6 addr{};
    addr.sin6_family = AF_INET6;
    addr.sin6_addr = in6addr_loopback;
    return probe.get() >= 0 && ::bind(probe.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
}

} // namespace brisk::test
