#pragma once
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace brisk {

// One entry of a local directory as the panel shows it. Symbolic links show what they point to
// (a link to a directory can be opened); a dangling link shows as a file.
struct LocalEntry {
    std::string name;
    bool isDirectory = false;
    int64_t size = 0;
    std::time_t modified = 0;
};

// The names in `dir` but "." and "..", hidden ones included, in the file system's order; none
// when it cannot be read.
std::vector<std::string> ListLocalNames(const std::string& dir);
// The same, telling a directory that could not be read (EACCES, EIO, or with `noFollow` a symbolic
// link in its place, ELOOP) from an empty one: false then, with the names read so far dropped.
bool ReadLocalNames(const std::string& dir, std::vector<std::string>& names, bool noFollow = false);

// Every entry of `dir` but "." and "..", hidden ones included, in the file system's order.
// An unreadable directory gives no entries.
std::vector<LocalEntry> ListLocalDirectory(const std::string& dir);

// Whether anything, even a dangling symbolic link, exists at `path`.
bool LocalEntryExists(const std::string& path);

// Whether both paths name the same entry (as on a file system that ignores letter case).
bool SameLocalEntry(const std::string& a, const std::string& b);

// A directory itself, not a symbolic link to one.
bool IsRealDirectory(const std::string& path);

} // namespace brisk
