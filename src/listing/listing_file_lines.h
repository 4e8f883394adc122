#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace brisk {

// Longest listing line kept; the rest of a longer line is dropped (no file name comes near it).
inline constexpr size_t kMaxListingLineBytes = 64 * 1024;

// Reads a listing file in bounded chunks and hands over each line without its LF and a CR before
// it, as splitListingLines would. False when the file cannot be opened or read to its end.
bool forEachListingLine(const std::string& path, const std::function<void(std::string_view line)>& onLine);

} // namespace brisk
