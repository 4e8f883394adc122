#pragma once
#include <cstdint>
#include <string>

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

} // namespace brisk
