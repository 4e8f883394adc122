#include "ftp_proxy_server.h"

#include "file_io.h"
#include "owned_files.h"

#include <grp.h>
#include <unistd.h>

namespace brisk::test {
namespace {

constexpr const char* kFtpProxy = "/usr/sbin/ftp-proxy";
// ftp-proxy keeps retrying a bind that fails and prints nothing, so a taken port shows only as a
// daemon that does not listen; it normally listens within 150 ms.
constexpr auto kListenLimit = std::chrono::seconds(4);

std::optional<std::string> ftpProxyUnavailableReason()
{
    if (::geteuid() != 0)
        return "ftp-proxy drops to the user nobody, which needs root";
    if (::getgrnam("nogroup") == nullptr)
        return "the system group nogroup is missing";
    return firstReason({missingProgram(kFtpProxy, "ftp-proxy"), missingAccount("nobody")});
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

// The proxy opens its log only after dropping to nobody; without write access there it exits.
// ForkLimit: the default of 40 sessions a minute would make the proxy drop later connections silently.
FtpProxyServer::FtpProxyServer() : LoopbackDaemon("ftp-proxy", unavailableReason(), "log/ftp-proxy.log", 0755)
{
    const auto logDir = dir() / "log";
    makeDirOwnedBy(logDir, "nobody");
    start([&](uint16_t port) {
        writeFileBytes(dir() / "ftp-proxy.conf",
            "[-Global-]\nServerType standalone\nListen 127.0.0.1\nPort " + std::to_string(port) + "\n"
            "AllowMagicUser yes\nDestinationTransferMode client\nForkLimit 1000\nUser nobody\nGroup nogroup\n"
            "PidFile " + (logDir / "ftp-proxy.pid").string() + "\n"
            "LogDestination " + (logDir / "ftp-proxy.log").string() + "\nLogLevel DBG\n");
        return DaemonLaunch{{kFtpProxy, "-d", "-n", "-f", (dir() / "ftp-proxy.conf").string()},
                            dir() / "ftp-proxy.out", {}};
    }, kListenLimit);
}

} // namespace brisk::test
