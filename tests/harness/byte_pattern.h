#pragma once

#include <cstddef>
#include <string>

namespace brisk::test {

// `size` bytes through every value, CR and LF among them, with no short period: a transfer that drops,
// repeats, reorders or converts bytes no longer compares equal. Another seed gives other bytes.
inline std::string bytePattern(size_t size, size_t seed = 0)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(((i + seed) * 7919 + (i + seed) / 251) & 0xFF);
    return bytes;
}

} // namespace brisk::test
