#pragma once
#include <string>

namespace brisk {

// Writes prompt to the terminal and reads one line with echo off (plain read when stdin is not
// a terminal). The line end is not part of the result.
std::string readPasswordNoEcho(const std::string& prompt);

} // namespace brisk
