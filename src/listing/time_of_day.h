#pragma once
#include <optional>
#include <string_view>

namespace brisk {

// Seconds after midnight for a listing's time text: "14:05", "10:20:30", "10:20AM" or "10:20PM"
// (12 AM being midnight). Nothing for any other text, the empty time of a dated entry included.
std::optional<int> SecondsOfDay(std::string_view text);

// The time text reads and names the second ("10:20:30"), as an MLSD listing's does.
bool TimeShowsSeconds(std::string_view text);

} // namespace brisk
