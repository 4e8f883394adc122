#pragma once
#include <cstdint>
#include <string>

#include <sys/socket.h>

namespace brisk {

// Four decimal parts of 0-255 separated by dots, blanks allowed around the whole.
bool WSocketIsDottedIP(const std::string& text);

// Address in network byte order. Names are looked up synchronously. Throws ESocketException.
uint32_t WSocketResolveHost(const std::string& text);
// Port in network byte order; a number or a service name of the given protocol. Throws ESocketException.
uint16_t WSocketResolvePort(const std::string& port, const std::string& proto);
// Protocol number of a name or decimal text. Throws ESocketException.
int WSocketResolveProto(const std::string& proto);

// "a.b.c.d" of an address in network byte order.
std::string WSocketDotted(uint32_t addr);

// An IPv6 literal, with or without the brackets URLs put around it ("::1", "[::1]").
bool WSocketIsIPv6(const std::string& text);

// An IPv4 or IPv6 socket address.
struct TSocketAddress {
    sockaddr_storage storage{};
    socklen_t length = 0;
    int family() const { return storage.ss_family; }
    const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&storage); }
    void setPort(uint16_t port); // network byte order
};

// The address of a dotted IPv4 address, an IPv6 literal or a name (looked up synchronously, the first
// address the resolver gives), with the port in network byte order. Throws ESocketException.
TSocketAddress WSocketResolveAddress(const std::string& host, uint16_t port);

// Numeric text of an IPv4 or IPv6 address ("127.0.0.1", "::1"); "error" for any other family.
std::string WSocketAddressText(const sockaddr* addr);
// Port of an IPv4 or IPv6 address in host byte order.
uint16_t WSocketAddressPort(const sockaddr* addr);

} // namespace brisk
