#include "ftp_proxy_server.h"

#include "daemon_on_free_port.h"
#include "file_io.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <stdexcept>

namespace brisk::test {
namespace {

constexpr const char* kFtpProxy = "/usr/sbin/ftp-proxy";
constexpr const char* kRunAs = "nobody";
constexpr const char* kRunAsGroup = "nogroup";
// ftp-proxy keeps retrying a bind that fails and prints nothing, so a taken port shows only as a
// daemon that does not listen; it normally listens within 150 ms.
constexpr auto kListenLimit = std::chrono::seconds(4);

std::optional<std::string> ftpProxyUnavailableReason()
{
    if (::geteuid() != 0)
        return "ftp-proxy drops to the user nobody, which needs root";
    if (::access(kFtpProxy, X_OK) != 0)
        return std::string(kFtpProxy) + " is missing (package ftp-proxy)";
    if (::getpwnam(kRunAs) == nullptr)
        return std::string("the system user ") + kRunAs + " is missing";
    if (::getgrnam(kRunAsGroup) == nullptr)
        return std::string("the system group ") + kRunAsGroup + " is missing";
    return std::nullopt;
}

} // namespace

std::optional<std::string> FtpProxyServer::unavailableReason()
{
    static const std::optional<std::string> reason = ftpProxyUnavailableReason();
    return reason;
}

std::string FtpProxyServer::magicUser(const std::string& name, uint16_t backendPort)
{
    return name + "@127.0.0.1:" + std::to_string(backendPort);
}

FtpProxyServer::FtpProxyServer(std::optional<uint16_t> defaultBackendPort)
{
    if (auto why = unavailableReason())
        throw std::runtime_error("ftp-proxy cannot run: " + *why);
    const auto& root = dir_.path();
    // The proxy opens its log only after dropping to kRunAs; without write access there it exits.
    const auto logDir = root / "log";
    std::filesystem::create_directory(logDir);
    const passwd* account = ::getpwnam(kRunAs);
    if (account == nullptr || ::chown(logDir.c_str(), account->pw_uid, account->pw_gid) != 0)
        throw std::runtime_error("cannot give " + logDir.string() + " to " + kRunAs);
    auto started = startOnFreePort(
        [&](uint16_t port) {
            writeConfig(port, defaultBackendPort);
            return DaemonLaunch{{kFtpProxy, "-d", "-n", "-f", (root / "ftp-proxy.conf").string()},
                              root / "ftp-proxy.out", {}};
        },
        kListenLimit);
    port_ = started.port;
    daemon_ = std::move(started.daemon);
}

FtpProxyServer::~FtpProxyServer() = default;

// ForkLimit: the default of 40 sessions a minute would make the proxy drop later connections
// silently.
void FtpProxyServer::writeConfig(uint16_t port, std::optional<uint16_t> defaultBackendPort) const
{
    const auto& root = dir_.path();
    std::string config = std::string("[-Global-]\nServerType standalone\nListen 127.0.0.1\n"
                         "Port ") + std::to_string(port) + "\n"
                         "AllowMagicUser yes\nDestinationTransferMode client\nForkLimit 1000\n"
                         "User " + kRunAs + "\nGroup " + kRunAsGroup + "\n"
                         "PidFile " + (root / "log" / "ftp-proxy.pid").string() + "\n"
                         "LogDestination " + (root / "log" / "ftp-proxy.log").string() + "\n"
                         "LogLevel DBG\n";
    if (defaultBackendPort)
        config += "DestinationAddress 127.0.0.1\nDestinationPort " + std::to_string(*defaultBackendPort) + "\n";
    writeFileBytes(root / "ftp-proxy.conf", config);
}

std::string FtpProxyServer::logContents() const
{
    return readFileBytes(dir_.path() / "log" / "ftp-proxy.log");
}

std::string FtpProxyServer::output() const
{
    return daemon_ ? daemon_->output() : std::string();
}

} // namespace brisk::test
