#include "session/chain_context.h"

namespace brisk {

bool IsPlainEntryName(const std::string& name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    return name.find_first_of(std::string("/\r\n\0", 4)) == std::string::npos;
}

std::string PrintableName(const std::string& name)
{
    std::string out = name;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    return out;
}

} // namespace brisk
