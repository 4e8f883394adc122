#include "net/wsocket.h"

#include "net/socket_exception.h"
#include "net/socket_resolve.h"
#include "platform/event_loop.h"
#include "platform/wsa_errors.h"

#include <netdb.h>
#include <netinet/in.h>

#include <atomic>
#include <cerrno>
#include <thread>

namespace brisk {

namespace {
std::atomic<uint64_t> nextLookupId{1};
} // namespace

void TCustomWSocket::DnsLookup(const std::string& hostName)
{
    if (hostName.empty()) {
        RaiseException("DNS lookup: invalid host name.");
        if (OnDnsLookupDone)
            OnDnsLookupDone(this, wsa::EINVAL_); // reached only when OnError took the usage error
        return;
    }
    CancelDnsLookup();
    dnsResult_.clear();
    dnsResultList_.clear();
    if (WSocketIsDottedIP(hostName) || WSocketIsIPv6(hostName)) {
        const TSocketAddress literal = WSocketResolveAddress(hostName, 0);
        dnsResult_ = WSocketAddressText(literal.get());
        dnsResultList_.push_back(dnsResult_);
        if (OnDnsLookupDone)
            OnDnsLookupDone(this, 0);
        return;
    }
    const uint64_t id = nextLookupId++;
    dnsLookupId_ = id;
    std::weak_ptr<Alive> alive = alive_;
    try {
        // The system's resolver blocks, so it runs on a helper thread whose answer is posted to the loop.
        std::thread([this, alive, id, hostName] {
            addrinfo hints{};
            hints.ai_family = AF_UNSPEC;
            hints.ai_socktype = SOCK_STREAM;
            addrinfo* result = nullptr;
            const int rc = getaddrinfo(hostName.c_str(), nullptr, &hints, &result);
            const int error = rc == 0 ? 0 : wsaFromGaiError(rc, errno);
            std::vector<std::string> addrs;
            for (addrinfo* ai = rc == 0 ? result : nullptr; ai; ai = ai->ai_next)
                if (ai->ai_family == AF_INET || ai->ai_family == AF_INET6)
                    addrs.push_back(WSocketAddressText(ai->ai_addr));
            if (result)
                freeaddrinfo(result);
            EventLoop::instance().post([this, alive, id, error, addrs] {
                if (alive.lock())
                    dnsAnswer(id, error, addrs);
            });
        }).detach();
    } catch (const std::system_error& e) {
        dnsLookupId_ = 0;
        RaiseException(hostName + ": can't start DNS lookup, error #" + std::to_string(wsaFromErrno(e.code().value())));
    }
}

void TCustomWSocket::dnsAnswer(uint64_t lookupId, int error, const std::vector<std::string>& addrs)
{
    if (lookupId != dnsLookupId_)
        return; // cancelled or superseded
    dnsLookupId_ = 0;
    if (error == 0 && addrs.empty())
        error = wsa::NO_DATA_;
    if (error == 0) {
        dnsResultList_ = addrs;
        dnsResult_ = addrs.front();
    }
    runGuarded([&] {
        if (OnDnsLookupDone)
            OnDnsLookupDone(this, uint16_t(error));
    });
}

void TCustomWSocket::CancelDnsLookup()
{
    dnsLookupId_ = 0;
}

} // namespace brisk
