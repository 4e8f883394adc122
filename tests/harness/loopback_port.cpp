#include "loopback_port.h"

#include "peer_io.h"
#include "unique_fd.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

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

std::optional<unsigned long> loopbackListenerInode(uint16_t port, bool ipv6)
{
    char local[48];
    std::snprintf(local, sizeof local, "%s:%04X", ipv6 ? "00000000000000000000000001000000" : "0100007F",
                  static_cast<unsigned>(port));
    std::ifstream in(ipv6 ? "/proc/net/tcp6" : "/proc/net/tcp");
    std::string line;
    std::getline(in, line); // column titles
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string slot, localAddr, remoteAddr, state, skip;
        unsigned long inode = 0;
        fields >> slot >> localAddr >> remoteAddr >> state;
        for (int i = 0; i < 5; ++i)
            fields >> skip; // tx:rx queue, timer, retransmits, uid, timeout
        fields >> inode;
        if (fields && localAddr == local && state == "0A")
            return inode;
    }
    return std::nullopt;
}

bool processOwnsSocket(pid_t pid, unsigned long inode)
{
    const std::string wanted = "socket:[" + std::to_string(inode) + "]";
    std::error_code ec;
    for (std::filesystem::directory_iterator it("/proc/" + std::to_string(pid) + "/fd", ec), end;
         !ec && it != end; it.increment(ec)) {
        std::error_code linkError;
        if (std::filesystem::read_symlink(it->path(), linkError).string() == wanted)
            return true;
    }
    return false;
}

} // namespace brisk::test
