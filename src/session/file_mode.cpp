#include "session/file_mode.h"

namespace brisk {

namespace {

constexpr int kDigitScale[3] = {100, 10, 1};

int digitOf(int mode, int bit)
{
    return mode / kDigitScale[bit / 3] % 10;
}

int weightOf(int bit)
{
    return 4 >> (bit % 3);
}

bool isSet(char c, int bit)
{
    const char lower = char(c | 0x20);
    if (lower == "rwx"[bit % 3])
        return true;
    return bit % 3 == 2 && (c == 's' || c == 't');
}

} // namespace

bool ModeBit(int mode, int bit)
{
    return (digitOf(mode, bit) & weightOf(bit)) != 0;
}

int WithModeBit(int mode, int bit, bool on)
{
    if (ModeBit(mode, bit) == on)
        return mode;
    const int step = weightOf(bit) * kDigitScale[bit / 3];
    return on ? mode + step : mode - step;
}

bool IsFileMode(int mode)
{
    return mode >= 0 && mode <= 777 && mode % 10 <= 7 && mode / 10 % 10 <= 7;
}

int ModeFromAttributes(std::string_view attributes)
{
    int mode = 0;
    for (int bit = 0; bit < kModeBitCount; ++bit)
        if (size_t(bit) + 1 < attributes.size() && isSet(attributes[size_t(bit) + 1], bit))
            mode = WithModeBit(mode, bit, true);
    return mode;
}

} // namespace brisk
