#include "platform/format_message.h"

namespace brisk {

std::string FormatMessage(const std::string& pattern, const std::vector<std::string>& args)
{
    std::string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const size_t arg = i + 1 < pattern.size() && pattern[i] == '%' ? size_t(pattern[i + 1] - '1') : args.size();
        if (arg < args.size() && arg < 9) {
            out += args[arg];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

} // namespace brisk
