#pragma once
#include "i18n/main_messages.h"

#include <cstdint>
#include <string>

namespace brisk {

// A failed connection in plain words for a message box, from the socket error it ended with:
// "The server 127.0.0.1 refused the connection on port 2121." The log keeps the technical line.
std::string ConnectionFailureText(const MainMessages& msl, const std::string& host, const std::string& port,
                                  uint16_t error);

} // namespace brisk
