#include "pure_ftpd_server.h"

#include "command_runner.h"
#include "daemon_on_free_port.h"
#include "file_io.h"
#include "ftp_users.h"
#include "owned_files.h"
#include "password_hash.h"
#include "unpacked_servers.h"

#include <pwd.h>

#include <stdexcept>

namespace brisk::test {
namespace {

constexpr const char* kPackage = "pure-ftpd";
constexpr uint16_t kPassivePortCount = 32; // 16 sessions at once

std::filesystem::path pureFtpdPath() { return unpackedServerFile(kPackage, "usr/sbin/pure-ftpd"); }
std::filesystem::path pwToolPath() { return unpackedServerFile(kPackage, "usr/bin/pure-pw"); }

std::optional<std::string> pureFtpdUnavailableReason()
{
    if (auto why = ftpUsersUnavailableReason())
        return why;
    if (auto why = passwordHashUnavailableReason())
        return why;
    if (auto why = unpackedProgramUnavailableReason(pwToolPath(), {"--help"}))
        return why;
    return unpackedProgramUnavailableReason(pureFtpdPath(), {"--help"});
}

// One line of pure-ftpd's passwd format: name:hash:uid:gid:gecos:home, then the unused quota and
// limit fields. "/./" at the end of the home chroots the user there.
std::string userLine(const std::string& name, const std::string& password, const std::filesystem::path& home)
{
    const passwd* account = ::getpwnam(name.c_str());
    if (account == nullptr)
        throw std::runtime_error("system account " + name + " is missing");
    return name + ":" + sha512CryptHash(password) + ":" + std::to_string(account->pw_uid) + ":"
        + std::to_string(account->pw_gid) + "::" + home.string() + "/./::::::::::::\n";
}

} // namespace

std::optional<std::string> PureFtpdServer::unavailableReason()
{
    static const std::optional<std::string> reason = pureFtpdUnavailableReason();
    return reason;
}

PureFtpdServer::PureFtpdServer(const ServerTls& tls) : tlsFile_(dir_.path() / "pure-ftpd.pem")
{
    writeFileBytes(tlsFile_, readFileBytes(tls.keyFile) + readFileBytes(tls.certFile));
    start();
}

PureFtpdServer::PureFtpdServer()
{
    start();
}

void PureFtpdServer::start()
{
    if (auto why = unavailableReason())
        throw std::runtime_error("pure-ftpd cannot run: " + *why);
    ensureFtpUsers();
    const auto& root = dir_.path();
    dataDir_ = root / "data";
    makeDirOwnedBy(dataDir_, kFtpUser);
    writeUserDatabase();
    passivePorts_ = pickFreeLoopbackPortRange(kPassivePortCount);
    auto started = startOnFreePort([this](uint16_t port) { return daemonSpec(port); });
    port_ = started.port;
    daemon_ = std::move(started.daemon);
}

PureFtpdServer::~PureFtpdServer() = default;

// TLS level 3: logins and data connections without it are refused.
DaemonLaunch PureFtpdServer::daemonSpec(uint16_t port) const
{
    const auto& root = dir_.path();
    std::vector<std::string> tls;
    if (!tlsFile_.empty())
        tls = {"--tls", "3", "--certfile", tlsFile_.string()};
    DaemonLaunch launch{{pureFtpdPath().string(), "--bind", "127.0.0.1," + std::to_string(port),
             "--passiveportrange", std::to_string(passivePorts_.first) + ":" + std::to_string(passivePorts_.last),
             "--login", "puredb:" + (root / "users.pdb").string(),
             "--chrooteveryone", "--noanonymous", "--dontresolve", "--ipv4only",
             "--minuid", "1000", "--maxclientsnumber", "32", "--maxclientsperip", "32",
             "--altlog", "clf:" + (root / "transfer.log").string()},
            root / "pure-ftpd.out", {}};
    launch.argv.insert(launch.argv.end(), tls.begin(), tls.end());
    return launch;
}

// pure-pw's own "useradd" stores argon2 hashes that cost seconds per login, so the text form is
// written here and only compiled by pure-pw. Its database is read again at every login.
void PureFtpdServer::writeUserDatabase() const
{
    const auto& root = dir_.path();
    writeFileBytes(root / "users.passwd", userLine(kFtpUser, kFtpPassword, dataDir_)
                                              + userLine(kFtpReadOnlyUser, kFtpReadOnlyPassword, dataDir_));
    const CommandResult r = runCommand({pwToolPath().string(), "mkdb", (root / "users.pdb").string(), "-f",
                                        (root / "users.passwd").string()});
    if (r.exitCode != 0)
        throw std::runtime_error("pure-pw mkdb failed: " + r.out + r.err);
}

void PureFtpdServer::writeDataFile(const std::filesystem::path& relative, std::string_view bytes) const
{
    writeFileOwnedBy(dataDir_, relative, bytes, kFtpUser);
}

std::string PureFtpdServer::logContents() const
{
    return readFileBytes(dir_.path() / "transfer.log");
}

} // namespace brisk::test
