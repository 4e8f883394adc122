#pragma once
#include <cstddef>
#include <functional>
#include <string_view>

namespace brisk::test {

// Lines of a log (without their line end) that match.
size_t countLines(std::string_view log, const std::function<bool(std::string_view line)>& match);

// Whether the line ends with `tail`.
bool endsWith(std::string_view line, std::string_view tail);

} // namespace brisk::test
