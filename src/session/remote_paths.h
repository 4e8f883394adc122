#pragma once
#include <string>

namespace brisk {

// Operations on "/"-separated remote paths.

// One trailing "/" ignored, cut at the last "/"; no trailing "/"; empty when the only "/" is the first.
std::string ParentDir(const std::string& path);
// One trailing "/" ignored, the text after the last "/" (all of it when there is none).
std::string LastComponent(const std::string& path);
// With "/" appended unless present; "" gives "/".
std::string WithSlash(const std::string& path);
// ParentDir, but "/" instead of an empty result.
std::string UpDir(const std::string& path);
// The directory a session starts in or returns to: with a trailing "/"; for a site on a shared
// virtual host the leading "/" is dropped, so the path stays relative to the login directory.
std::string RemoteDirRule(const std::string& path, bool checkVHost);

} // namespace brisk
