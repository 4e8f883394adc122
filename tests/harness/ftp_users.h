#pragma once

#include <optional>
#include <string>

namespace brisk::test {

// The system accounts the vsftpd tests log in with.
inline constexpr const char* kFtpUser = "brisk";
inline constexpr const char* kFtpPassword = "brisk-pw";
inline constexpr const char* kFtpReadOnlyUser = "briskro";
inline constexpr const char* kFtpReadOnlyPassword = "briskro-pw";

// Creates or updates both accounts (home "/", a shell from /etc/shells, the passwords above).
// Accounts are global while tests run in parallel, so this holds a file lock while it works;
// each server gives the users its own root through its configuration. Throws on failure.
void ensureFtpUsers();

// Why the accounts cannot be set up here (not root, tools missing), or nothing.
std::optional<std::string> ftpUsersUnavailableReason();

} // namespace brisk::test
