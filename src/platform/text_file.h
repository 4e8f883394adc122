#pragma once
#include <string>
#include <vector>

namespace brisk {

// Reads a text file as lines split at "\n", a trailing "\r" removed from each; bytes pass through.
// False when the file cannot be opened or read.
bool readTextLines(const std::string& path, std::vector<std::string>& lines);

// Replaces the file with content, readable and writable by its owner only. The new content is
// written beside the file and renamed over it, so a failed write leaves the old file whole.
bool writePrivateFile(const std::string& path, const std::string& content);

// Each line followed by "\n".
std::string joinLines(const std::vector<std::string>& lines);

} // namespace brisk
