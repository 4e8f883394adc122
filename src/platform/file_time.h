#pragma once
#include <cstdint>
#include <string>

namespace brisk {

// Gives the file (never the target of a link at `path`) the modification time `seconds` since the
// epoch; nothing for a time of 0 or less. False when the time could not be set.
bool SetLocalModified(const std::string& path, int64_t seconds);

} // namespace brisk
