#include "relay_loop.h"

#include "passive_reply.h"
#include "peer_io.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace bench {
namespace {

using brisk::test::UniqueFd;

// Small replies and commands go out at once: the relay must add no wait of its own.
void noDelay(int fd)
{
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

UniqueFd acceptFrom(int listener)
{
    UniqueFd fd(::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
    if (fd.valid())
        noDelay(fd.get());
    return fd;
}

// The server is local, so a blocking connect ends at once; invalid when it refuses.
UniqueFd connectToServer(uint16_t port)
{
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (!fd.valid() || ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return {};
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) | O_NONBLOCK);
    noDelay(fd.get());
    return fd;
}

timespec untilDue(DelayedPipe::Clock::time_point due, DelayedPipe::Clock::time_point now)
{
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(std::max(due - now, DelayedPipe::Clock::duration::zero())).count();
    return timespec{time_t(ns / 1000000000), long(ns % 1000000000)};
}

} // namespace

RelayLoop::RelayLoop(uint16_t serverPort, Clock::duration delay)
    : serverPort_(serverPort), delay_(delay), listener_(brisk::test::peer_io::listenOnLoopback(port_)),
      buffer_(256 * 1024)
{
}

void RelayLoop::run(int stopFd)
{
    std::vector<pollfd> fds;
    std::vector<Watch> roles;
    for (;;) {
        flushAll(Clock::now());
        fds.assign(1, pollfd{stopFd, POLLIN, 0});
        roles.assign(1, Watch{Role::controlListener, nullptr});
        watch(fds, roles);
        const auto due = nextDue();
        const timespec wait = due ? untilDue(*due, Clock::now()) : timespec{};
        if (::ppoll(fds.data(), fds.size(), due ? &wait : nullptr, nullptr) < 0 && errno != EINTR)
            throw std::runtime_error("poll failed");
        if (fds[0].revents != 0)
            break;
        const auto now = Clock::now();
        for (size_t i = 1; i < fds.size(); ++i)
            if (fds[i].revents != 0)
                handle(roles[i], fds[i].revents, now);
    }
    links_.clear();
}

// Passes on what is due, then forgets the connections that are over (closing their sockets).
void RelayLoop::flushAll(Clock::time_point now)
{
    for (auto& link : links_) {
        if (!link->up.flush(link->server.get(), now) || !link->down.flush(link->client.get(), now))
            link->failed = true;
    }
    std::erase_if(links_, [](const auto& link) { return link->done(); });
}

// The sockets to wait on and what for. A socket with nothing to wait for is left out: poll would
// report its hang-up again and again.
void RelayLoop::watch(std::vector<pollfd>& fds, std::vector<Watch>& roles) const
{
    const auto add = [&](int fd, short events, Role role, RelayLink* link) {
        if (events == 0)
            return;
        fds.push_back({fd, events, 0});
        roles.push_back({role, link});
    };
    add(listener_.get(), POLLIN, Role::controlListener, nullptr);
    for (const auto& link : links_) {
        const short client = short((link->up.wantsInput() ? POLLIN : 0) | (link->down.blocked() ? POLLOUT : 0));
        const short server = short((link->down.wantsInput() ? POLLIN : 0) | (link->up.blocked() ? POLLOUT : 0));
        add(link->client.get(), client, Role::client, link.get());
        add(link->server.get(), server, Role::server, link.get());
        if (link->dataListener.valid())
            add(link->dataListener.get(), POLLIN, Role::dataListener, link.get());
    }
}

std::optional<RelayLoop::Clock::time_point> RelayLoop::nextDue() const
{
    std::optional<Clock::time_point> next;
    for (const auto& link : links_)
        for (const DelayedPipe* pipe : {&link->up, &link->down})
            if (const auto due = pipe->nextDue(); due && (!next || *due < *next))
                next = due;
    return next;
}

void RelayLoop::handle(const Watch& w, short revents, Clock::time_point now)
{
    switch (w.role) {
    case Role::controlListener:
        return acceptControl();
    case Role::dataListener:
        return acceptData(*w.link);
    case Role::client:
    case Role::server: {
        const bool fromClient = w.role == Role::client;
        DelayedPipe& outgoing = fromClient ? w.link->down : w.link->up;
        if (revents & (POLLOUT | POLLERR | POLLHUP))
            outgoing.writable(); // a failed socket makes the next flush fail rather than wait forever
        if ((revents & ~POLLOUT) && (fromClient ? w.link->up : w.link->down).wantsInput())
            read(*w.link, fromClient, now);
        return;
    }
    }
}

void RelayLoop::acceptControl()
{
    UniqueFd client = acceptFrom(listener_.get());
    UniqueFd server = client.valid() ? connectToServer(serverPort_) : UniqueFd();
    if (!server.valid())
        return;
    links_.push_back(std::make_unique<RelayLink>(std::move(client), std::move(server), delay_));
    links_.back()->control = true;
}

// One data connection per passive reply: the listener closes once it has it.
void RelayLoop::acceptData(RelayLink& control)
{
    UniqueFd client = acceptFrom(control.dataListener.get());
    if (!client.valid())
        return;
    control.dataListener.reset();
    UniqueFd server = connectToServer(control.dataPort);
    if (!server.valid())
        return;
    links_.push_back(std::make_unique<RelayLink>(std::move(client), std::move(server), delay_));
    ++dataConnections_;
}

// One read from a socket into the pipe that leaves from it; an error ends the stream like its end.
void RelayLoop::read(RelayLink& link, bool fromClient, Clock::time_point now)
{
    const int fd = fromClient ? link.client.get() : link.server.get();
    DelayedPipe& pipe = fromClient ? link.up : link.down;
    const ssize_t n = ::recv(fd, buffer_.data(), buffer_.size(), MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return;
    const bool rewrite = link.control && !fromClient;
    if (n <= 0) {
        if (rewrite)
            pipe.push(std::exchange(link.partialLine, {}), now);
        pipe.end(now);
        return;
    }
    std::string bytes(buffer_.data(), size_t(n));
    pipe.push(rewrite ? rewritePassiveReplies(link, std::move(bytes)) : std::move(bytes), now);
}

// The complete lines of the server's replies so far, each passive reply naming a port of the relay;
// an unfinished line waits for its end.
std::string RelayLoop::rewritePassiveReplies(RelayLink& control, std::string bytes)
{
    std::string text = std::exchange(control.partialLine, {}) + bytes;
    const size_t end = text.rfind('\n');
    if (end == std::string::npos) {
        control.partialLine = std::move(text);
        return {};
    }
    control.partialLine = text.substr(end + 1);
    std::string out;
    for (size_t start = 0; start <= end;) {
        const size_t eol = text.find('\n', start);
        const std::string_view line(text.data() + start, eol + 1 - start);
        if (const auto reply = parsePassiveReply(line)) {
            out += passiveReplyLine(*reply, openDataListener(control, reply->port));
        } else {
            out += line;
        }
        start = eol + 1;
    }
    return out;
}

// A newer passive reply replaces the older one's listener, as the server replaces its own.
uint16_t RelayLoop::openDataListener(RelayLink& control, uint16_t serverDataPort)
{
    uint16_t port = 0;
    control.dataListener.reset(brisk::test::peer_io::listenOnLoopback(port));
    control.dataPort = serverDataPort;
    return port;
}

} // namespace bench
