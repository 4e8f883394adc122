#include "real_server.h"

#include "file_io.h"
#include "proftpd_server.h"
#include "pure_ftpd_server.h"
#include "pyftpd_server.h"
#include "vsftpd_server.h"

#include <algorithm>
#include <ostream>
#include <stdexcept>
#include <type_traits>

namespace brisk::test {

namespace {

template <typename Server>
class Real : public RealServer {
public:
    static constexpr bool kPyftpd = std::is_same_v<Server, PyftpdServer>;

    uint16_t port() const override { return server_.port(); }
    std::filesystem::path root() const override
    {
        if constexpr (kPyftpd)
            return server_.root();
        else
            return server_.dataDir();
    }
    void putFile(const std::string& relative, const std::string& bytes) override
    {
        if constexpr (kPyftpd)
            writeFileBytes(server_.root() / relative, bytes);
        else
            server_.writeDataFile(relative, bytes);
    }
    std::string logContents() const override { return server_.logContents(); }

private:
    Server server_;
};

struct Kind {
    const char* name;
    std::optional<std::string> (*unavailable)();
    std::unique_ptr<RealServer> (*start)();
};

template <typename Server>
std::unique_ptr<RealServer> startReal()
{
    return std::make_unique<Real<Server>>();
}

const Kind kKinds[] = {
    {"vsftpd", &VsftpdServer::unavailableReason, &startReal<VsftpdServer>},
    {"pyftpdlib", &PyftpdServer::unavailableReason, &startReal<PyftpdServer>},
    {"pure-ftpd", &PureFtpdServer::unavailableReason, &startReal<PureFtpdServer>},
    {"proftpd", &ProftpdServer::unavailableReason, &startReal<ProftpdServer>},
};

const Kind* kindNamed(const std::string& name)
{
    for (const Kind& kind : kKinds) {
        if (kind.name == name)
            return &kind;
    }
    return nullptr;
}

} // namespace

std::vector<std::string> realServerKinds()
{
    std::vector<std::string> names;
    for (const Kind& kind : kKinds)
        names.push_back(kind.name);
    return names;
}

std::optional<std::string> realServerUnavailable(const std::string& kind)
{
    const Kind* known = kindNamed(kind);
    return known ? known->unavailable() : "unknown server kind " + kind;
}

std::unique_ptr<RealServer> startRealServer(const std::string& kind)
{
    const Kind* known = kindNamed(kind);
    if (!known)
        throw std::invalid_argument("unknown server kind " + kind);
    return known->start();
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
