#pragma once

#include "server_daemon.h"
#include "server_tls.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brisk::test {

struct PyftpdOptions {
    std::optional<std::string> cannedList;    // bytes sent verbatim for every LIST
    std::optional<int64_t> failRetrAfter;     // each RETR breaks with 426 after this many bytes
    std::string host = "127.0.0.1";           // another loopback address puts the server apart
    bool hideExtended = false;                // FEAT names neither EPRT nor EPSV (both still work)
    std::optional<ServerTls> tls;             // explicit TLS, required for logins and data
    // Directories below root() where kFtpUser has other rights ("eradfmw": all but listing).
    std::vector<std::pair<std::string, std::string>> userRightsIn;
};

// tests/harness/pyftpd_server.py on a port chosen by the system: kFtpUser with write access and
// kFtpReadOnlyUser read-only, both at root(); passive and active mode. Files the server creates are
// owned by root; the log has logins and finished transfers. Check unavailableReason() first and skip
// the test with it.
class PyftpdServer : public LoopbackDaemon {
public:
    explicit PyftpdServer(PyftpdOptions options = {});

    static std::optional<std::string> unavailableReason();
    static std::optional<std::string> tlsUnavailableReason();

    const std::filesystem::path& root() const { return root_; }

private:
    std::filesystem::path root_;
};

} // namespace brisk::test
