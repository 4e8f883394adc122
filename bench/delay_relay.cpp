#include "delay_relay.h"

#include "relay_loop.h"

#include <arpa/inet.h>
#include <sys/eventfd.h>
#include <sys/socket.h>

#include <cstdio>
#include <stdexcept>
#include <string>

namespace bench {

DelayRelay::DelayRelay(uint16_t serverPort, std::chrono::microseconds oneWayDelay)
    : loop_(std::make_unique<RelayLoop>(serverPort, oneWayDelay)), stop_(::eventfd(0, EFD_CLOEXEC))
{
    if (!stop_.valid())
        throw std::runtime_error("eventfd failed");
    thread_ = std::thread([this] {
        try {
            loop_->run(stop_.get());
        } catch (const std::exception& e) {
            std::fprintf(stderr, "delay relay stopped: %s\n", e.what());
        }
    });
}

DelayRelay::~DelayRelay()
{
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(stop_.get(), &one, sizeof one);
    thread_.join();
}

uint16_t DelayRelay::port() const
{
    return loop_->port();
}

uint64_t DelayRelay::dataConnections() const
{
    return loop_->dataConnections();
}

namespace {

// Reads up to the end of a reply line (blocking); false when the connection ends first.
bool readLine(int fd)
{
    char c = 0;
    while (::recv(fd, &c, 1, 0) == 1)
        if (c == '\n')
            return true;
    return false;
}

} // namespace

double noopRoundTripMs(uint16_t port)
{
    brisk::test::UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || !readLine(fd.get()))
        return -1;
    const auto start = std::chrono::steady_clock::now();
    const std::string noop = "NOOP\r\n";
    if (::send(fd.get(), noop.data(), noop.size(), MSG_NOSIGNAL) != ssize_t(noop.size()) || !readLine(fd.get()))
        return -1;
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const std::string quit = "QUIT\r\n";
    [[maybe_unused]] const ssize_t n = ::send(fd.get(), quit.data(), quit.size(), MSG_NOSIGNAL);
    readLine(fd.get());
    return ms;
}

} // namespace bench
