#pragma once
#include <string>

namespace brisk {

// The description shown for a socket error number ("Connection refused" for 10061 ...).
std::string WSocketErrorDesc(int code);

} // namespace brisk
