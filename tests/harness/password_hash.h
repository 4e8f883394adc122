#pragma once

#include <optional>
#include <string>

namespace brisk::test {

// The crypt(3) SHA-512 form ("$6$salt$hash") of a password, for servers that read password files.
// Checking it takes milliseconds, unlike the argon2 hashes some servers' own tools write. Throws when
// openssl fails.
std::string sha512CryptHash(const std::string& password);

// Why sha512CryptHash cannot work here, or nothing.
std::optional<std::string> passwordHashUnavailableReason();

} // namespace brisk::test
