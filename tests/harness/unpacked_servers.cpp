#include "unpacked_servers.h"

#include "command_runner.h"

#include <unistd.h>

#include <cstdlib>

namespace brisk::test {

std::filesystem::path unpackedServersDir()
{
    const char* configured = std::getenv("BRISKLANE_SERVERS_DIR");
    return configured != nullptr && *configured != '\0' ? configured : "/var/tmp/brisklane-servers";
}

std::filesystem::path unpackedServerFile(const std::string& package, const std::filesystem::path& inPackage)
{
    return unpackedServersDir() / package / inPackage;
}

std::optional<std::string> unpackedProgramUnavailableReason(const std::filesystem::path& program,
                                                            const std::vector<std::string>& probe)
{
    if (::access(program.c_str(), X_OK) != 0)
        return program.string() + " is missing (run scripts/unpack-servers)";
    std::vector<std::string> argv = {program.string()};
    argv.insert(argv.end(), probe.begin(), probe.end());
    const CommandResult r = runCommand(argv, {}, std::chrono::seconds(10));
    if (r.exitCode != 0)
        return program.string() + " does not run (a library package missing?): " + r.err;
    return std::nullopt;
}

} // namespace brisk::test
