#pragma once
#include <string>

namespace brisk {

// A "/"-separated sub-path below `root`: a slash goes in front when the root lacks a trailing one,
// and a non-empty result ends in one.
std::string MirrorSubPath(const std::string& root, std::string sub);

// `root` joined with such a sub-path; a non-empty root always gives a path ending in "/".
std::string MirrorJoinPath(const std::string& root, const std::string& sub);

} // namespace brisk
