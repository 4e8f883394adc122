#pragma once
#include <string_view>

namespace brisk {

// Whether `name` matches one of the comma-separated wildcard masks in `mask` ("*" any run, "?" one
// character, letters a-z without regard to case). Mask and name are compared part by part between
// dots, so "*.txt" matches "readme.TXT" but not "a.tar.txt". An empty mask, "*" and "*.*" match all.
bool MatchesMask(std::string_view name, std::string_view mask);

} // namespace brisk
