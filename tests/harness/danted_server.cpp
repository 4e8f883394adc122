#include "danted_server.h"

#include "file_io.h"
#include "ftp_users.h"
#include "daemon_on_free_port.h"
#include "log_lines.h"

#include <pwd.h>
#include <unistd.h>

#include <stdexcept>

namespace brisk::test {
namespace {
constexpr const char* kDanted = "/usr/sbin/danted";
} // namespace

std::optional<std::string> DantedServer::unavailableReason(DantedAuth auth)
{
    if (::access(kDanted, X_OK) != 0)
        return std::string(kDanted) + " is missing (package dante-server)";
    if (::geteuid() != 0)
        return "danted switches users and needs root";
    if (::getpwnam("nobody") == nullptr)
        return "the system user nobody is missing";
    if (auth == DantedAuth::Username)
        return ftpUsersUnavailableReason();
    return std::nullopt;
}

DantedServer::DantedServer(DantedAuth auth)
{
    if (auto why = unavailableReason(auth))
        throw std::runtime_error("danted cannot run: " + *why);
    if (auth == DantedAuth::Username)
        ensureFtpUsers();
    const auto& root = dir_.path();
    ListeningDaemon started = startOnFreePort(
        [&](uint16_t port) {
            writeConfig(auth, port);
            return DaemonLaunch{{kDanted, "-f", (root / "danted.conf").string(), "-p", (root / "danted.pid").string()},
                              root / "danted.out",
                              {}};
        },
        std::chrono::seconds(10));
    port_ = started.port;
    daemon_ = std::move(started.daemon);
}

DantedServer::~DantedServer() = default;

void DantedServer::writeConfig(DantedAuth auth, uint16_t port) const
{
    const auto& root = dir_.path();
    const char* method = auth == DantedAuth::Username ? "username" : "none";
    writeFileBytes(root / "danted.conf",
        "logoutput: " + (root / "danted.log").string() + "\n"
        "internal: 127.0.0.1 port = " + std::to_string(port) + "\n"
        "external: 127.0.0.1\n"
        "clientmethod: none\n"
        "socksmethod: " + method + "\n"
        "user.privileged: root\n"
        "user.unprivileged: nobody\n"
        "client pass {\n    from: 127.0.0.0/8 to: 0.0.0.0/0\n    log: error connect disconnect\n}\n"
        "socks pass {\n    from: 127.0.0.0/8 to: 0.0.0.0/0\n    command: connect bind bindreply\n"
        "    log: error connect disconnect\n}\n");
}

std::string DantedServer::logContents() const
{
    return readFileBytes(dir_.path() / "danted.log");
}

// "... tcp/connect [: <client> <proxy> -> <proxy's end> 127.0.0.1.<destPort>"
size_t DantedServer::connectionsTo(uint16_t destPort) const
{
    const std::string tail = " 127.0.0.1." + std::to_string(destPort);
    return countLines(logContents(), [&](std::string_view line) {
        return line.find("tcp/connect [") != std::string_view::npos && endsWith(line, tail);
    });
}

size_t DantedServer::connectionsToAnyPort() const
{
    return countLines(logContents(), [](std::string_view line) {
        const size_t at = line.rfind(" 127.0.0.1.");
        return line.find("tcp/connect [") != std::string_view::npos && at != std::string_view::npos &&
               line.find_first_not_of("0123456789", at + 11) == std::string_view::npos;
    });
}

} // namespace brisk::test
