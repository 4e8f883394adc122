#include "listing/text_util.h"

#include <limits>

namespace brisk {

std::optional<int64_t> decimalValue(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || value > (kMax - (c - '0')) / 10)
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

int monthFromWordPosition(std::string_view word)
{
    static constexpr std::string_view kMonths = "janfebmaraprmayjunjulaugsepoctnovdec";
    if (word.empty())
        return 0;
    const size_t p = kMonths.find(lowerAscii(word));
    return p == std::string_view::npos ? 0 : int(p / 3) + 1;
}

} // namespace brisk
