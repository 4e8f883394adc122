#include "loopback_port.h"

#include "unique_fd.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace brisk::test {

uint16_t pickFreeLoopbackPort()
{
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (!fd.valid() || ::bind(fd.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0
        || ::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        throw std::runtime_error("cannot pick a free port: " + std::string(std::strerror(errno)));
    return ntohs(addr.sin_port);
}

std::optional<unsigned long> loopbackListenerInode(uint16_t port)
{
    char local[32];
    std::snprintf(local, sizeof local, "0100007F:%04X", static_cast<unsigned>(port));
    std::ifstream in("/proc/net/tcp");
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
