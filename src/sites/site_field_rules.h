#pragma once
#include <string>

namespace brisk {

// The rules a server and a port field must follow before a site is stored or opened; the site
// dialog and the quick-connect bar share them, each prefixing its own field label to the text.
constexpr const char* kServerFieldRule = "enter a host name or address without blanks.";
constexpr const char* kPortFieldRule = "enter a number from 1 to 65535.";

// Not empty and without blanks inside (leading and trailing ones are ignored): blanks used to be
// dropped silently, joining "127.0.0. 1 bad host" into one name.
bool ServerFieldValid(const std::string& server);
// Decimal digits only, from 1 to 65535 (leading and trailing blanks are ignored).
bool PortFieldValid(const std::string& port);

} // namespace brisk
