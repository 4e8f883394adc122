#pragma once
#include <string>

namespace brisk {

// One entry whose permissions change: its name and the mode as three octal digits read as a
// decimal number (755).
struct ChmodItem {
    std::string name;
    int mode = 0;
};

} // namespace brisk
