#include "pyftpd_server.h"

#include "command_runner.h"
#include "file_io.h"

#include <unistd.h>

#include <charconv>
#include <stdexcept>

namespace brisk::test {
namespace {

// The python3 on PATH may be a separate installation without pyftpdlib.
constexpr const char* kPython = "/usr/bin/python3";
const std::string kScript = std::string(BRISKLANE_HARNESS_DIR) + "/pyftpd_server.py";

std::optional<std::string> pyftpdUnavailableReason()
{
    if (::access(kPython, X_OK) != 0)
        return std::string(kPython) + " is missing (package python3)";
    if (::access(kScript.c_str(), R_OK) != 0)
        return kScript + " is missing";
    if (runCommand({kPython, "-c", "import pyftpdlib"}).exitCode != 0)
        return "pyftpdlib is missing (package python3-pyftpdlib)";
    return std::nullopt;
}

uint16_t parseReadyLine(const std::string& line)
{
    const std::string digits = line.substr(line.find(' ') + 1);
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || value == 0 || value > 65535)
        throw std::runtime_error("pyftpd_server.py printed a bad ready line: " + line);
    return static_cast<uint16_t>(value);
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
{
    if (auto why = unavailableReason())
        throw std::runtime_error("pyftpdlib cannot run: " + *why);
    root_ = dir_.path() / "root";
    std::filesystem::create_directory(root_);
    for (const auto& user : options.users) {
        if (!user.subdir.empty())
            std::filesystem::create_directories(root_ / user.subdir);
    }
    if (options.cannedList)
        writeFileBytes(dir_.path() / "canned-list.txt", *options.cannedList);
    daemon_ = std::make_unique<DaemonProcess>(
        DaemonLaunch{commandLine(options), dir_.path() / "pyftpd.out", {}});
    port_ = parseReadyLine(daemon_->waitForOutputLine("READY "));
    // READY follows the listen; the extra check reads only 127.0.0.1's listeners.
    if (options.host == "127.0.0.1")
        daemon_->waitListening(port_);
}

PyftpdServer::~PyftpdServer() = default;

std::vector<std::string> PyftpdServer::commandLine(const PyftpdOptions& options) const
{
    std::vector<std::string> argv = {kPython, kScript, "--host", options.host, "--root", root_.string(), "--port", "0",
                                     "--style", options.style, "--log",
                                     (dir_.path() / "pyftpd.log").string(), "--auth-delay",
                                     std::to_string(options.authDelaySeconds)};
    for (const auto& user : options.users) {
        std::string entry = user.name + ":" + user.password + ":" + user.perms;
        if (!user.subdir.empty())
            entry += ":" + user.subdir;
        argv.insert(argv.end(), {"--user", entry});
    }
    if (options.anonymous)
        argv.push_back("--anon");
    if (options.hideExtended)
        argv.push_back("--hide-extended");
    if (options.cannedList)
        argv.insert(argv.end(), {"--canned-list", (dir_.path() / "canned-list.txt").string()});
    if (options.tls)
        argv.insert(argv.end(), {"--tls-cert", options.tls->certFile.string(), "--tls-key", options.tls->keyFile.string()});
    if (options.failRetrAfter)
        argv.insert(argv.end(), {"--fail-retr-after", std::to_string(*options.failRetrAfter)});
    return argv;
}

std::string PyftpdServer::logContents() const
{
    return readFileBytes(dir_.path() / "pyftpd.log");
}

} // namespace brisk::test
