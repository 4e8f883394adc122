#pragma once
#include <string>

namespace brisk {

// dir + "/" + name, without doubling the separator when dir already ends with one (the root).
std::string JoinLocalPath(const std::string& dir, const std::string& name);

// The directory above `dir` (cut at its last "/"); the root stays the root.
std::string ParentLocalDir(const std::string& dir);

// An absolute form of `dir` without "." and ".." components, repeated or trailing separators
// (except the root itself); relative paths are taken against the process's current directory.
std::string NormalizeLocalDir(const std::string& dir);

// The last component of a typed name ("sub/b.txt" gives "b.txt"; "sub/" gives "").
std::string FileNamePart(const std::string& name);

} // namespace brisk
