#include "config/pane_split.h"

#include <algorithm>
#include <cstdint>

namespace brisk {

PaneSplit SplitFixed(int room, int first, int minimum)
{
    room = std::max(room, 0);
    const int least = std::clamp(minimum, 0, room / 2);
    const int kept = std::clamp(first, least, room - least);
    return {kept, room - kept};
}

PaneSplit SplitProportional(int room, int first, int second, int minimum)
{
    first = std::max(first, 0);
    second = std::max(second, 0);
    const int64_t whole = int64_t(first) + second;
    if (whole == 0)
        return SplitFixed(room, room / 2, minimum);
    // In 64 bits: the stored sizes may be anything up to the largest 32-bit value.
    return SplitFixed(room, int((int64_t(std::max(room, 0)) * first + whole / 2) / whole), minimum);
}

} // namespace brisk
