#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace brisk {

// "YYYYMMDDHHMMSS" of a UTC time given as seconds since the epoch (the form of MDTM, MFMT and MLSD).
std::string UtcStamp(int64_t seconds);

// Seconds since the epoch of a UTC stamp "YYYYMMDDHHMMSS" with an optional ".fraction" (dropped);
// -1 for anything else, for impossible dates and times, and for times before 1970.
int64_t ParseUtcStamp(std::string_view text);

} // namespace brisk
