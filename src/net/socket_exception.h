#pragma once
#include <stdexcept>
#include <string>

namespace brisk {

// Misuse of a socket or a failing platform call that has no OnError handler to go to.
class ESocketException : public std::runtime_error {
public:
    explicit ESocketException(const std::string& msg) : std::runtime_error(msg) {}
};

} // namespace brisk
