#include "danted_server.h"
#include "file_io.h"
#include "ftp_users.h"
#include "microsocks_server.h"
#include "twistd_socks_server.h"

#include <unistd.h>

namespace brisk::test {
namespace {
constexpr const char* kDanted = "/usr/sbin/danted";
constexpr const char* kMicrosocks = "/usr/bin/microsocks";
// Debian's twistd: the python3 on PATH may be another installation without Twisted.
constexpr const char* kTwistd = "/usr/bin/twistd3";
} // namespace

std::optional<std::string> DantedServer::unavailableReason(DantedAuth auth)
{
    if (::geteuid() != 0)
        return "danted switches users and needs root";
    return firstReason({missingProgram(kDanted, "dante-server"), missingAccount("nobody"),
                        auth == DantedAuth::Username ? ftpUsersUnavailableReason() : std::nullopt});
}

// "... tcp/connect [: <client> <proxy> -> <proxy's end> 127.0.0.1.<destPort>"
DantedServer::DantedServer(DantedAuth auth)
    : SocksDaemon("danted", unavailableReason(auth), "danted.log", R"(.*tcp/connect \[.* 127\.0\.0\.1\.(\d+))")
{
    if (auth == DantedAuth::Username)
        ensureFtpUsers();
    start([&](uint16_t port) {
        writeFileBytes(dir() / "danted.conf",
            "logoutput: " + (dir() / "danted.log").string() + "\n"
            "internal: 127.0.0.1 port = " + std::to_string(port) + "\nexternal: 127.0.0.1\n"
            "clientmethod: none\nsocksmethod: " + (auth == DantedAuth::Username ? "username" : "none") + "\n"
            "user.privileged: root\nuser.unprivileged: nobody\n"
            "client pass {\n    from: 127.0.0.0/8 to: 0.0.0.0/0\n    log: error connect disconnect\n}\n"
            "socks pass {\n    from: 127.0.0.0/8 to: 0.0.0.0/0\n    command: connect bind bindreply\n"
            "    log: error connect disconnect\n}\n");
        return DaemonLaunch{{kDanted, "-f", (dir() / "danted.conf").string(), "-p", (dir() / "danted.pid").string()},
                            dir() / "danted.out", {}};
    });
}

std::optional<std::string> MicrosocksServer::unavailableReason()
{
    return missingProgram(kMicrosocks, "microsocks");
}

// "client[4] 127.0.0.1: connected to 127.0.0.1:<destPort>". No -1 ("auth once"): it would let later
// clients of the address in without a password.
MicrosocksServer::MicrosocksServer()
    : SocksDaemon("microsocks", unavailableReason(), "microsocks.out", R"(.*connected to 127\.0\.0\.1:(\d+))")
{
    start([&](uint16_t port) {
        return DaemonLaunch{{kMicrosocks, "-i", "127.0.0.1", "-p", std::to_string(port), "-u", kUser, "-P", kPassword},
                            dir() / "microsocks.out", {}};
    });
}

std::optional<std::string> TwistdSocksServer::unavailableReason()
{
    return missingProgram(kTwistd, "python3-twisted");
}

// "... code 1 connection to 127.0.0.1:<destPort> (user b'...') authorized". No "-l FILE" for the socks
// plugin: its data logger fails every connection.
TwistdSocksServer::TwistdSocksServer()
    : SocksDaemon("twistd", unavailableReason(), "twistd.log", R"(.*connection to 127\.0\.0\.1:(\d+) \(.*authorized)")
{
    start([&](uint16_t port) {
        return DaemonLaunch{{kTwistd, "-n", "--pidfile", (dir() / "twistd.pid").string(), "--logfile",
                             (dir() / "twistd.log").string(), "socks", "-i", "127.0.0.1", "-p", std::to_string(port)},
                            dir() / "twistd.out", {}};
    }, std::chrono::seconds(20));
}

} // namespace brisk::test
