#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

namespace brisk::test {

// Whole file as bytes; empty when the file cannot be read.
std::string readFileBytes(const std::filesystem::path& path);

// Writes the bytes (replacing the file), creating missing parent directories. Throws on failure.
void writeFileBytes(const std::filesystem::path& path, std::string_view bytes);

// Sets the modification (and access) time to whole seconds. Throws on failure.
void setModifiedTime(const std::filesystem::path& path, std::time_t when);
std::time_t modifiedTime(const std::filesystem::path& path);

} // namespace brisk::test
