#include "peer_session.h"

#include "peer_io.h"

#include <arpa/inet.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace brisk::test {
namespace {

// "h1,h2,h3,h4,p1,p2" (a PORT line or its argument) -> a loopback address; throws on anything else.
sockaddr_in parsePortArgument(const std::string& command)
{
    const auto space = command.find(' ');
    const std::string arg = space == std::string::npos ? command : command.substr(space + 1);
    unsigned p[6];
    char extra = 0;
    if (std::sscanf(arg.c_str(), "%3u,%3u,%3u,%3u,%3u,%3u%c", &p[0], &p[1], &p[2], &p[3], &p[4], &p[5], &extra) != 6
        || arg.find_first_not_of("0123456789,") != std::string::npos || *std::max_element(p, p + 6) > 255)
        throw std::runtime_error("bad PORT argument: " + command);
    if (p[0] != 127)
        throw std::runtime_error("not a loopback PORT argument: " + command);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(p[0] << 24 | p[1] << 16 | p[2] << 8 | p[3]);
    address.sin_port = htons(static_cast<uint16_t>(p[4] << 8 | p[5]));
    return address;
}

// Closes with a reset (RST) instead of an orderly close.
void resetConnection(UniqueFd& fd)
{
    const linger abortive{1, 0};
    if (fd.valid())
        setsockopt(fd.get(), SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    fd.reset();
}

} // namespace

PeerSession::PeerSession(UniqueFd control, int stopFd, std::chrono::milliseconds waitLimit,
                         size_t connection)
    : control_(std::move(control)), stopFd_(stopFd), waitLimit_(waitLimit), connection_(connection)
{
}

std::chrono::steady_clock::time_point PeerSession::deadline() const
{
    return std::chrono::steady_clock::now() + waitLimit_;
}

void PeerSession::send(std::string_view bytes)
{
    if (!control_.valid())
        throw std::logic_error("send after the control connection was closed");
    peer_io::sendAll(control_.get(), bytes, stopFd_, deadline());
}

void PeerSession::closeControl()
{
    control_.reset();
}

void PeerSession::resetControl()
{
    resetConnection(control_);
}

uint16_t PeerSession::listenForData()
{
    uint16_t port = 0;
    dataListener_.reset(peer_io::listenOnLoopback(port));
    return port;
}

std::string PeerSession::passiveReply(uint16_t port)
{
    return "227 Entering Passive Mode (127,0,0,1," + std::to_string(port >> 8) + ","
           + std::to_string(port & 0xFF) + ").\r\n";
}

void PeerSession::acceptData()
{
    if (!dataListener_.valid())
        throw std::logic_error("acceptData without listenForData");
    data_.reset(peer_io::acceptOne(dataListener_.get(), stopFd_, deadline()));
    dataListener_.reset();
}

void PeerSession::connectData(const std::string& portCommand)
{
    data_.reset(peer_io::connectTo(parsePortArgument(portCommand), stopFd_, deadline()));
}

void PeerSession::intrudeData(const std::string& sourceAddress, const std::string& portCommand,
                              std::string_view bytes)
{
    const sockaddr_in target = parsePortArgument(portCommand);
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in source{};
    source.sin_family = AF_INET;
    if (!fd.valid() || inet_pton(AF_INET, sourceAddress.c_str(), &source.sin_addr) != 1 ||
        ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&source), sizeof source) != 0)
        throw std::runtime_error("cannot bind an intruder to " + sourceAddress);
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0)
        throw std::runtime_error("intruder could not connect");
    peer_io::sendAll(fd.get(), bytes, stopFd_, deadline());
}

void PeerSession::resetData()
{
    dataFd();
    resetConnection(data_);
}

int PeerSession::dataFd() const
{
    if (!data_.valid())
        throw std::logic_error("no data connection");
    return data_.get();
}

void PeerSession::sendData(std::string_view bytes)
{
    peer_io::sendAll(dataFd(), bytes, stopFd_, deadline());
}

std::string PeerSession::receiveDataUntilClose()
{
    const auto until = deadline();
    std::string all;
    for (std::string piece; !(piece = peer_io::receiveSome(dataFd(), stopFd_, until)).empty();)
        all += piece;
    return all;
}

void PeerSession::closeData()
{
    data_.reset();
    dataListener_.reset();
}

} // namespace brisk::test
