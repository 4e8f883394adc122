#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace brisk::test {

// Where scripts/unpack-servers put the server packages that cannot be installed beside vsftpd:
// $BRISKLANE_SERVERS_DIR, else /var/tmp/brisklane-servers. Each package has its own folder there
// holding the package's file tree (e.g. "pure-ftpd/usr/sbin/pure-ftpd").
std::filesystem::path unpackedServersDir();

// The path of a file inside an unpacked package.
std::filesystem::path unpackedServerFile(const std::string& package, const std::filesystem::path& inPackage);

// Why the unpacked program cannot be used (not unpacked, or it does not start, e.g. because a
// library is missing), or nothing. `probe` holds arguments that make the program exit at once with
// status 0.
std::optional<std::string> unpackedProgramUnavailableReason(const std::filesystem::path& program,
                                                            const std::vector<std::string>& probe);

} // namespace brisk::test
