#include "peer_listener.h"

#include "peer_io.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <stdexcept>

namespace brisk::test {

PeerListener::PeerListener(Serve serve, Report error)
    : serve_(std::move(serve)), error_(std::move(error)), stop_(::eventfd(0, EFD_CLOEXEC))
{
    if (!stop_.valid())
        throw std::runtime_error("eventfd failed");
    listener_.reset(peer_io::listenOnLoopback(port_));
    thread_ = std::thread([this] { run(); });
}

PeerListener::~PeerListener()
{
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(stop_.get(), &one, sizeof one);
    thread_.join();
}

void PeerListener::run()
{
    try {
        for (;;)
            serve_(UniqueFd(peer_io::acceptOne(listener_.get(), stop_.get(), peer_io::kNoDeadline)));
    } catch (const peer_io::Stopped&) {
    } catch (const std::exception& e) {
        error_(std::string("accept: ") + e.what());
    }
}

} // namespace brisk::test
