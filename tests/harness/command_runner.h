#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace brisk::test {

struct CommandResult {
    int exitCode = -1;   // -1 when the command was killed by a signal (or timed out)
    bool timedOut = false;
    std::string out;
    std::string err;
};

// Runs a command (argv[0] is looked up in PATH), feeds `input` to its stdin and collects stdout and
// stderr. A command still running at the limit is killed.
CommandResult runCommand(const std::vector<std::string>& argv, const std::string& input = {},
                         std::chrono::milliseconds limit = std::chrono::seconds(30));

// Runs brisklane-cli with the given arguments, as runCommand does.
CommandResult runCli(const std::vector<std::string>& args, const std::string& input = {},
                     std::chrono::milliseconds limit = std::chrono::seconds(60));

} // namespace brisk::test
