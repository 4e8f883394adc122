#pragma once

#include "command_runner.h"

#include <cstdint>
#include <string>
#include <vector>

namespace brisk::test {

// curl against ftp://127.0.0.1:port/path with extra arguments (user, upload file, ...).
inline CommandResult curlFtp(uint16_t port, const std::string& path, std::vector<std::string> args = {})
{
    std::vector<std::string> argv = {"curl", "-sS", "--max-time", "20"};
    argv.insert(argv.end(), args.begin(), args.end());
    argv.push_back("ftp://127.0.0.1:" + std::to_string(port) + path);
    return runCommand(argv);
}

inline std::string allByteValues(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + i / 256) & 0xFF);
    return bytes;
}

} // namespace brisk::test
