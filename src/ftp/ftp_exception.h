#pragma once
#include <stdexcept>
#include <string>

namespace brisk {

// Misuse of the FTP engine (wrong state, a required property empty) when no OnError handler is assigned.
class FtpException : public std::runtime_error {
public:
    explicit FtpException(const std::string& msg) : std::runtime_error(msg) {}
};

} // namespace brisk
