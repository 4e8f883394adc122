#pragma once
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brisk::test {

// One real FTP server of any kind, as the engine and harness tests need it: a port on 127.0.0.1, a
// user with write access (kFtpUser / kFtpPassword) whose root is root(), a way to place files there
// and the server's log.
class RealServer {
public:
    virtual ~RealServer() = default;
    virtual uint16_t port() const = 0;
    virtual std::filesystem::path root() const = 0;
    // Writes a file below root() that the FTP user may overwrite, rename and delete.
    virtual void putFile(const std::string& relative, const std::string& bytes) = 0;
    // The server's own log of commands or transfers.
    virtual std::string logContents() const = 0;
};

// The kinds every engine scenario runs against.
std::vector<std::string> realServerKinds();
// Why a kind cannot run here, or nothing.
std::optional<std::string> realServerUnavailable(const std::string& kind);
std::unique_ptr<RealServer> startRealServer(const std::string& kind);

// One server kind in one data connection mode: a case of the tests that run on every server.
struct ServerSetting {
    std::string kind;
    bool passive;
};
void PrintTo(const ServerSetting& setting, std::ostream* os);
// Every kind, passive and active.
std::vector<ServerSetting> allServerSettings();
// The case's test name, e.g. "pure_ftpd_active".
std::string serverSettingName(const ServerSetting& setting);

} // namespace brisk::test
