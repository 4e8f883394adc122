#pragma once
#include <string>
#include <sys/types.h>

namespace brisk {

// The process's current directory ("/" when it cannot be read).
std::string currentDirectory();
bool directoryExists(const std::string& path);
bool fileExists(const std::string& path);

// Creates path and every missing parent; true when the directory exists afterwards.
bool makeDirectories(const std::string& path, mode_t mode = 0700);

// The name of the entry of dir that equals name without regard to ASCII letter case; an exact
// match wins. Empty when there is none.
std::string findEntryNoCase(const std::string& dir, const std::string& name);

// dir + relative, each component of relative matched without regard to case where an entry of
// that spelling exists; components that do not exist yet keep their spelling.
std::string resolvePathNoCase(const std::string& dir, const std::string& relative);

} // namespace brisk
