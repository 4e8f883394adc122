#include "password_hash.h"

#include "command_runner.h"

#include <unistd.h>

#include <stdexcept>

namespace brisk::test {
namespace {

constexpr const char* kOpenssl = "/usr/bin/openssl";

} // namespace

std::string sha512CryptHash(const std::string& password)
{
    CommandResult r = runCommand({kOpenssl, "passwd", "-6", "-stdin"}, password + "\n");
    while (!r.out.empty() && (r.out.back() == '\n' || r.out.back() == '\r'))
        r.out.pop_back();
    if (r.exitCode != 0 || r.out.rfind("$6$", 0) != 0)
        throw std::runtime_error("openssl passwd failed: " + r.err);
    return r.out;
}

std::optional<std::string> passwordHashUnavailableReason()
{
    if (::access(kOpenssl, X_OK) != 0)
        return std::string(kOpenssl) + " is missing (package openssl)";
    return std::nullopt;
}

} // namespace brisk::test
