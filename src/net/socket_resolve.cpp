#include "net/socket_resolve.h"

#include "net/socket_exception.h"
#include "platform/ascii.h"
#include "platform/wsa_errors.h"

#include <arpa/inet.h>
#include <netdb.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

namespace brisk {

namespace {

std::string trimSpaces(const std::string& text)
{
    size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ')
        ++b;
    while (e > b && text[e - 1] == ' ')
        --e;
    return text.substr(b, e - b);
}

bool startsWithDigit(const std::string& text)
{
    size_t i = text.find_first_not_of(' ');
    return i != std::string::npos && std::isdigit(static_cast<unsigned char>(text[i]));
}

// Leading blanks skipped, reading stops at the first non-digit. Returns false past maxValue.
bool readDecimal(const std::string& text, long maxValue, long& value)
{
    size_t i = text.find_first_not_of(' ');
    value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > maxValue)
            return false;
    }
    return true;
}

bool looksNumeric(const std::string& host)
{
    return !host.empty() && std::isdigit(static_cast<unsigned char>(host[0])) &&
           host.find_first_not_of("0123456789.") == std::string::npos;
}

// The resolver's answers for a name, for the caller to free; throws when there are none.
addrinfo* lookUp(const std::string& name, const std::string& asWritten, int family)
{
    addrinfo hints{};
    hints.ai_family = family;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    const int rc = getaddrinfo(name.c_str(), nullptr, &hints, &result);
    if (rc != 0 || !result) {
        const int code = wsaFromGaiError(rc, errno);
        throw ESocketException("WSocketResolveHost: Cannot convert host address '" + asWritten + "', Error #" +
                               std::to_string(code));
    }
    return result;
}

TSocketAddress ipv4Address(uint32_t addr, uint16_t port)
{
    TSocketAddress result;
    auto* sin = reinterpret_cast<sockaddr_in*>(&result.storage);
    sin->sin_family = AF_INET;
    sin->sin_addr.s_addr = addr;
    sin->sin_port = port;
    result.length = sizeof(sockaddr_in);
    return result;
}

TSocketAddress ipv6Address(const std::string& text, uint16_t port)
{
    std::string host = trimSpaces(text);
    if (host.front() == '[')
        host = host.substr(1, host.size() - 2);
    TSocketAddress result;
    auto* sin6 = reinterpret_cast<sockaddr_in6*>(&result.storage);
    sin6->sin6_family = AF_INET6;
    inet_pton(AF_INET6, host.c_str(), &sin6->sin6_addr);
    sin6->sin6_port = port;
    result.length = sizeof(sockaddr_in6);
    return result;
}

} // namespace

bool WSocketIsDottedIP(const std::string& text)
{
    const std::string s = trimSpaces(text);
    int parts = 0;
    size_t i = 0;
    while (parts < 4) {
        size_t digits = 0;
        int value = 0;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && digits < 4) {
            value = value * 10 + (s[i++] - '0');
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255)
            return false;
        if (++parts < 4) {
            if (i >= s.size() || s[i] != '.')
                return false;
            ++i;
        }
    }
    return i == s.size();
}

std::string WSocketDotted(uint32_t addr)
{
    in_addr a{};
    a.s_addr = addr;
    char buf[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &a, buf, sizeof buf);
    return buf;
}

uint32_t WSocketResolveHost(const std::string& text)
{
    if (text.empty() || text.size() >= 256)
        throw ESocketException("WSocketResolveHost: '" + text + "' Invalid Hostname.");
    const std::string host = trimSpaces(text);
    if (looksNumeric(host)) {
        in_addr a{};
        if (!WSocketIsDottedIP(host) || inet_pton(AF_INET, host.c_str(), &a) != 1)
            throw ESocketException("WSocketResolveHost: '" + text + "' Invalid IP address.");
        return a.s_addr;
    }
    addrinfo* result = lookUp(host, text, AF_INET);
    const uint32_t addr = reinterpret_cast<sockaddr_in*>(result->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(result);
    return addr;
}

bool WSocketIsIPv6(const std::string& text)
{
    std::string host = trimSpaces(text);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    in6_addr a{};
    return host.find(':') != std::string::npos && inet_pton(AF_INET6, host.c_str(), &a) == 1;
}

TSocketAddress WSocketResolveAddress(const std::string& host, uint16_t port)
{
    if (WSocketIsIPv6(host))
        return ipv6Address(host, port);
    const std::string name = trimSpaces(host);
    if (looksNumeric(name) || host.empty() || host.size() >= 256)
        return ipv4Address(WSocketResolveHost(host), port);
    addrinfo* result = lookUp(name, host, AF_UNSPEC);
    TSocketAddress found;
    found.length = socklen_t(std::min<size_t>(result->ai_addrlen, sizeof found.storage));
    std::memcpy(&found.storage, result->ai_addr, found.length);
    freeaddrinfo(result);
    found.setPort(port);
    return found;
}

void TSocketAddress::setPort(uint16_t port)
{
    if (family() == AF_INET6)
        reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port = port;
    else
        reinterpret_cast<sockaddr_in*>(&storage)->sin_port = port;
}

std::string WSocketAddressText(const sockaddr* addr)
{
    char buf[INET6_ADDRSTRLEN] = {};
    if (addr->sa_family == AF_INET)
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(addr)->sin_addr, buf, sizeof buf);
    else if (addr->sa_family == AF_INET6)
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(addr)->sin6_addr, buf, sizeof buf);
    else
        return "error";
    return buf;
}

uint16_t WSocketAddressPort(const sockaddr* addr)
{
    if (addr->sa_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6*>(addr)->sin6_port);
    return ntohs(reinterpret_cast<const sockaddr_in*>(addr)->sin_port);
}

uint16_t WSocketResolvePort(const std::string& port, const std::string& proto)
{
    if (port.empty() || port.size() >= 32)
        throw ESocketException("WSocketResolvePort: Invalid Port.");
    if (startsWithDigit(port)) {
        long value = 0;
        if (!readDecimal(port, 65535, value))
            throw ESocketException("WSocketResolvePort: Cannot convert port '" + port + "', Error #" +
                                   std::to_string(wsa::EINVAL_));
        return htons(uint16_t(value));
    }
    servent entry{}, *found = nullptr;
    char buf[1024];
    getservbyname_r(trimSpaces(port).c_str(), toLowerAscii(proto).c_str(), &entry, buf, sizeof buf, &found);
    if (!found && equalsNoCase(trimSpaces(port), "ftp"))
        return htons(21); // the one service name the program relies on, even without a services database
    if (!found)
        throw ESocketException("WSocketResolvePort: Cannot convert port '" + port + "', Error #" +
                               std::to_string(wsa::NO_DATA_));
    return uint16_t(found->s_port);
}

int WSocketResolveProto(const std::string& proto)
{
    if (proto.empty() || proto.size() >= 32)
        throw ESocketException("WSocketResolveProto: Invalid Protocol.");
    if (startsWithDigit(proto)) {
        long value = 0;
        if (!readDecimal(proto, 255, value))
            throw ESocketException("WSocketResolveProto: Cannot convert protocol '" + proto + "', Error #" +
                                   std::to_string(wsa::EINVAL_));
        return int(value);
    }
    protoent entry{}, *found = nullptr;
    char buf[1024];
    const std::string name = toLowerAscii(trimSpaces(proto));
    getprotobyname_r(name.c_str(), &entry, buf, sizeof buf, &found);
    if (!found && (name == "tcp" || name == "udp"))
        return name == "tcp" ? IPPROTO_TCP : IPPROTO_UDP; // no protocols database on minimal systems
    if (!found)
        throw ESocketException("WSocketResolveProto: Cannot convert protocol '" + proto + "', Error #" +
                               std::to_string(wsa::NO_DATA_));
    return found->p_proto;
}

} // namespace brisk
