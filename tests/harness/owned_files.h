#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace brisk::test {

// Writes root/relative, creating missing directories (0755) below root; the file and every directory
// created are then owned by the system account `user`, so that this user can overwrite, rename or
// delete them over FTP. Throws on failure.
void writeFileOwnedBy(const std::filesystem::path& root, const std::filesystem::path& relative,
                      std::string_view bytes, const std::string& user);

// Creates the directory (0755, with missing parents) and gives it to the system account `user`.
void makeDirOwnedBy(const std::filesystem::path& dir, const std::string& user);

} // namespace brisk::test
