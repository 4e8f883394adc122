#include "loopback_port.h"

#include "peer_io.h"
#include "unique_fd.h"

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
