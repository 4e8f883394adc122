#include "pyftpd_server.h"

#include "command_runner.h"
#include "file_io.h"
#include "ftp_users.h"

#include <unistd.h>

namespace brisk::test {
namespace {

// The python3 on PATH may be a separate installation without pyftpdlib.
constexpr const char* kPython = "/usr/bin/python3";
const std::string kScript = std::string(BRISKLANE_HARNESS_DIR) + "/pyftpd_server.py";

std::optional<std::string> pyftpdUnavailableReason()
{
    if (auto why = missingProgram(kPython, "python3"))
        return why;
    if (runCommand({kPython, "-c", "import pyftpdlib"}).exitCode != 0)
        return "pyftpdlib is missing (package python3-pyftpdlib)";
    return std::nullopt;
}

} // namespace

std::optional<std::string> PyftpdServer::unavailableReason()
{
    static const std::optional<std::string> reason = pyftpdUnavailableReason();
    return reason;
}

std::optional<std::string> PyftpdServer::tlsUnavailableReason()
{
    if (auto why = unavailableReason())
        return why;
    static const bool hasOpenSsl = runCommand({kPython, "-c", "import OpenSSL"}).exitCode == 0;
    if (!hasOpenSsl)
        return std::string("pyftpdlib's TLS needs python3-openssl");
    return std::nullopt;
}

PyftpdServer::PyftpdServer(PyftpdOptions options)
    : LoopbackDaemon("pyftpdlib", unavailableReason(), "pyftpd.log", 0755), root_(dir() / "root")
{
    std::filesystem::create_directory(root_);
    std::vector<std::string> argv = {kPython, kScript, "--host", options.host, "--root", root_.string(),
        "--log", (dir() / "pyftpd.log").string(),
        "--user", std::string(kFtpUser) + ":" + kFtpPassword + ":elradfmwMT",
        "--user", std::string(kFtpReadOnlyUser) + ":" + kFtpReadOnlyPassword + ":elr"};
    if (options.hideExtended)
        argv.push_back("--hide-extended");
    for (const auto& [dir, rights] : options.userRightsIn)
        argv.insert(argv.end(), {"--rights-in", std::string(kFtpUser) + ":" + dir + ":" + rights});
    if (options.cannedList) {
        writeFileBytes(dir() / "canned-list.txt", *options.cannedList);
        argv.insert(argv.end(), {"--canned-list", (dir() / "canned-list.txt").string()});
    }
    if (options.tls)
        argv.insert(argv.end(), {"--tls-cert", options.tls->certFile.string(), "--tls-key", options.tls->keyFile.string()});
    if (options.failRetrAfter)
        argv.insert(argv.end(), {"--fail-retr-after", std::to_string(*options.failRetrAfter)});
    daemon_ = std::make_unique<DaemonProcess>(DaemonLaunch{argv, dir() / "pyftpd.out", {}});
    const std::string ready = daemon_->waitForOutputLine("READY ");
    port_ = static_cast<uint16_t>(std::stoi(ready.substr(6)));
    // READY follows the listen; the extra check reads only 127.0.0.1's listeners.
    if (options.host == "127.0.0.1")
        daemon_->waitListening(port_);
}

} // namespace brisk::test
