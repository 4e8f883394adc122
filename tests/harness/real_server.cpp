#include "real_server.h"

#include "file_io.h"
#include "proftpd_server.h"
#include "pure_ftpd_server.h"
#include "pyftpd_server.h"
#include "vsftpd_server.h"

#include <algorithm>
#include <ostream>

namespace brisk::test {

namespace {

// The servers that run under the FTP user's own account and write files for it themselves.
template <typename Server>
class OwnedFilesReal : public RealServer {
public:
    uint16_t port() const override { return server_.port(); }
    std::filesystem::path root() const override { return server_.dataDir(); }
    void putFile(const std::string& relative, const std::string& bytes) override
    {
        server_.writeDataFile(relative, bytes);
    }
    std::string logContents() const override { return server_.logContents(); }

private:
    Server server_;
};

class PyftpdReal : public RealServer {
public:
    uint16_t port() const override { return server_.port(); }
    std::filesystem::path root() const override { return server_.root(); }
    void putFile(const std::string& relative, const std::string& bytes) override
    {
        std::filesystem::create_directories((server_.root() / relative).parent_path());
        writeFileBytes(server_.root() / relative, bytes);
    }
    std::string logContents() const override { return server_.logContents(); }

private:
    PyftpdServer server_;
};

} // namespace

std::vector<std::string> realServerKinds()
{
    return {"vsftpd", "pyftpdlib", "pure-ftpd", "proftpd"};
}

std::optional<std::string> realServerUnavailable(const std::string& kind)
{
    if (kind == "vsftpd")
        return VsftpdServer::unavailableReason();
    if (kind == "pyftpdlib")
        return PyftpdServer::unavailableReason();
    if (kind == "pure-ftpd")
        return PureFtpdServer::unavailableReason();
    if (kind == "proftpd")
        return ProftpdServer::unavailableReason();
    return "unknown server kind " + kind;
}

std::unique_ptr<RealServer> startRealServer(const std::string& kind)
{
    if (kind == "vsftpd")
        return std::make_unique<OwnedFilesReal<VsftpdServer>>();
    if (kind == "pure-ftpd")
        return std::make_unique<OwnedFilesReal<PureFtpdServer>>();
    if (kind == "proftpd")
        return std::make_unique<OwnedFilesReal<ProftpdServer>>();
    return std::make_unique<PyftpdReal>();
}

void PrintTo(const ServerSetting& setting, std::ostream* os)
{
    *os << setting.kind << (setting.passive ? " passive" : " active");
}

std::vector<ServerSetting> allServerSettings()
{
    std::vector<ServerSetting> settings;
    for (const std::string& kind : realServerKinds())
        for (bool passive : {true, false})
            settings.push_back({kind, passive});
    return settings;
}

std::string serverSettingName(const ServerSetting& setting)
{
    std::string name = setting.kind + (setting.passive ? "_passive" : "_active");
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

} // namespace brisk::test
