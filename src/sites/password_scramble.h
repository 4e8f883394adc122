#pragma once
#include <string>

namespace brisk {

// Turns a plain password into its stored form and back (the same routine both ways).
std::string ScramblePassword(const std::string& text);

} // namespace brisk
