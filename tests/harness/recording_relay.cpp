#include "recording_relay.h"

#include "peer_io.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>

namespace brisk::test {

RecordingRelay::RecordingRelay(uint16_t targetPort)
    : target_(targetPort), listener_([this](UniqueFd client) { relay(client.get()); })
{
}

std::string RecordingRelay::clientBytes() const
{
    std::lock_guard lock(mutex_);
    return sent_;
}

void RecordingRelay::relay(int client)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(target_);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    UniqueFd server(peer_io::connectTo(address, listener_.stopFd(), peer_io::kNoDeadline));
    pollfd fds[3] = {{client, POLLIN, 0}, {server.get(), POLLIN, 0}, {listener_.stopFd(), POLLIN, 0}};
    for (;;) {
        if (::poll(fds, 3, -1) < 0 || fds[2].revents)
            return;
        for (int side = 0; side < 2; ++side) {
            if (!fds[side].revents)
                continue;
            const std::string bytes = peer_io::receiveSome(fds[side].fd, listener_.stopFd(), peer_io::kNoDeadline);
            if (bytes.empty())
                return;
            if (side == 0) {
                std::lock_guard lock(mutex_);
                sent_ += bytes;
            }
            peer_io::sendAll(fds[1 - side].fd, bytes, listener_.stopFd(), peer_io::kNoDeadline);
        }
    }
}

} // namespace brisk::test
