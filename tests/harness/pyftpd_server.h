#pragma once

#include "daemon_process.h"
#include "server_tls.h"
#include "temp_dir.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brisk::test {

struct PyftpdUser {
    std::string name;
    std::string password;
    std::string perms;    // pyftpdlib letters: "elradfmwMT" = everything, "elr" = read-only
    std::string subdir;   // home below the root; empty = the root itself
};

struct PyftpdOptions {
    std::vector<PyftpdUser> users = {{"brisk", "brisk-pw", "elradfmwMT", ""},
                                     {"briskro", "briskro-pw", "elr", ""}};
    bool anonymous = false;                   // user "anonymous", read-only, at the root
    std::string style = "unix";               // LIST layout: unix, windows, windows4, vms, mac
    std::optional<std::string> cannedList;    // bytes sent verbatim for every LIST
    std::optional<int64_t> failRetrAfter;     // each RETR breaks with 426 after this many bytes
    double authDelaySeconds = 0;              // wait before answering a wrong password
    std::string host = "127.0.0.1";           // another loopback address puts the server apart
    bool hideExtended = false;                // FEAT names neither EPRT nor EPSV (both still work)
    std::optional<ServerTls> tls;             // explicit TLS, required for logins and data
};

// tests/harness/pyftpd_server.py under Debian's /usr/bin/python3, on a port of 127.0.0.1 chosen by
// the system, serving a fresh root dir (root()). Passive and active mode are both allowed. Files the
// server creates are owned by root. Check unavailableReason() first and skip the test with it.
class PyftpdServer {
public:
    explicit PyftpdServer(PyftpdOptions options = {});
    ~PyftpdServer();

    static std::optional<std::string> unavailableReason();
    static std::optional<std::string> tlsUnavailableReason();

    uint16_t port() const { return port_; }
    const std::filesystem::path& root() const { return root_; }

    // pyftpdlib's log: logins and finished transfers.
    std::string logContents() const;

private:
    std::vector<std::string> commandLine(const PyftpdOptions& options) const;

    TempDir dir_{0755};
    std::filesystem::path root_;
    uint16_t port_ = 0;
    std::unique_ptr<DaemonProcess> daemon_;
};

} // namespace brisk::test
