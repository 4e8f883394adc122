#pragma once
#include <string>

namespace brisk {

// Data port of a 229 reply: "(" then three equal delimiters, the decimal port, the same delimiter and
// ")" ("229 Entering Extended Passive Mode (|||6446|)"). -1 for anything else, and for a port outside
// 1-65535.
int FtpExtendedPassivePort(const std::string& reply);

// The port of whichever passive reply the server gave, 227 or 229; -1 when it names none.
int FtpDataPort(const std::string& reply);

} // namespace brisk
