#pragma once
#include <string>
#include <vector>

namespace brisk {

// `pattern` with %1 ... %9 replaced by the arguments, in whatever order a language puts them.
std::string FormatMessage(const std::string& pattern, const std::vector<std::string>& args);

} // namespace brisk
