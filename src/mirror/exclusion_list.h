#pragma once
#include <string>
#include <vector>

namespace brisk {

// The items of an exclusion text: split at "|", each trimmed, empty ones dropped.
std::vector<std::string> SplitExclusions(const std::string& text);

// The items trimmed, empty ones left out, joined by "|".
std::string JoinExclusions(const std::vector<std::string>& items);

} // namespace brisk
