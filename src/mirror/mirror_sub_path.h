#pragma once
#include <string>

namespace brisk {

// A sub-path below `root` written with `separator`: every `foreign` separator becomes `separator`,
// a separator goes in front when the root lacks a trailing one, and a non-empty result ends in one.
std::string MirrorSubPath(const std::string& root, std::string sub, char separator, char foreign);

// `root` joined with such a sub-path; a non-empty root always gives a path ending in `separator`.
std::string MirrorJoinPath(const std::string& root, const std::string& sub, char separator);

} // namespace brisk
