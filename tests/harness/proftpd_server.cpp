#include "proftpd_server.h"

#include "daemon_on_free_port.h"
#include "file_io.h"
#include "ftp_users.h"
#include "owned_files.h"
#include "password_hash.h"
#include "unpacked_servers.h"

#include <pwd.h>
#include <sys/stat.h>

#include <stdexcept>

namespace brisk::test {
namespace {

std::filesystem::path proftpdPath() { return unpackedServerFile("proftpd-core", "usr/sbin/proftpd"); }

std::filesystem::path tlsModuleDir()
{
    return unpackedServerFile("proftpd-mod-crypto", "usr/lib/proftpd");
}

std::optional<std::string> proftpdUnavailableReason()
{
    if (auto why = ftpUsersUnavailableReason())
        return why;
    if (auto why = passwordHashUnavailableReason())
        return why;
    if (::getpwnam("ftp") == nullptr)
        return "the system user ftp (anonymous logins) is missing";
    if (::getpwnam("nobody") == nullptr)
        return "the system user nobody is missing";
    return unpackedProgramUnavailableReason(proftpdPath(), {"-v"});
}

// One passwd(5) line; the ids are the system account's, so files it owns here are the user's.
std::string userLine(const std::string& name, const std::string& hash, const std::string& account,
                     const std::filesystem::path& home)
{
    const passwd* entry = ::getpwnam(account.c_str());
    if (entry == nullptr)
        throw std::runtime_error("system account " + account + " is missing");
    return name + ":" + hash + ":" + std::to_string(entry->pw_uid) + ":" + std::to_string(entry->pw_gid)
        + "::" + home.string() + ":/bin/false\n";
}

} // namespace

std::optional<std::string> ProftpdServer::unavailableReason()
{
    static const std::optional<std::string> reason = proftpdUnavailableReason();
    return reason;
}

std::optional<std::string> ProftpdServer::tlsUnavailableReason()
{
    if (auto why = unavailableReason())
        return why;
    if (!std::filesystem::exists(tlsModuleDir() / "mod_tls.so"))
        return (tlsModuleDir() / "mod_tls.so").string() + " is missing (run scripts/unpack-servers)";
    return std::nullopt;
}

ProftpdServer::ProftpdServer(ServerTls tls) : tls_(std::move(tls))
{
    start();
}

ProftpdServer::ProftpdServer()
{
    start();
}

void ProftpdServer::start()
{
    if (auto why = unavailableReason())
        throw std::runtime_error("proftpd cannot run: " + *why);
    ensureFtpUsers();
    const auto& root = dir_.path();
    dataDir_ = root / "data";
    anonRoot_ = root / "anon";
    makeDirOwnedBy(dataDir_, kFtpUser);
    std::filesystem::create_directories(anonRoot_ / "pub");
    std::filesystem::create_directories(root / "run");
    writeUserFile();
    auto started = startOnFreePort([&](uint16_t port) {
        writeConfig(port);
        return DaemonLaunch{{proftpdPath().string(), "--nodaemon", "--config", (root / "proftpd.conf").string()},
                          root / "proftpd.out", {}};
    });
    port_ = started.port;
    daemon_ = std::move(started.daemon);
}

ProftpdServer::~ProftpdServer() = default;

// The "ftp" line supplies the account that anonymous sessions run as.
void ProftpdServer::writeUserFile() const
{
    const auto file = dir_.path() / "ftpd.passwd";
    writeFileBytes(file, userLine(kFtpUser, sha512CryptHash(kFtpPassword), kFtpUser, dataDir_)
                             + userLine(kFtpReadOnlyUser, sha512CryptHash(kFtpReadOnlyPassword),
                                        kFtpReadOnlyUser, dataDir_)
                             + userLine("ftp", "*", "ftp", anonRoot_));
    ::chmod(file.c_str(), 0600);
}

// DelayEngine off: otherwise every login, and a failed one most, is slowed down on purpose.
void ProftpdServer::writeConfig(uint16_t port) const
{
    const auto& root = dir_.path();
    const std::string run = (root / "run").string();
    writeFileBytes(root / "proftpd.conf",
        "ServerName \"Brisklane proftpd\"\nServerType standalone\nDefaultServer on\n"
        "UseIPv6 off\nDefaultAddress 127.0.0.1\nSocketBindTight on\n"
        "Port " + std::to_string(port) + "\n"
        "User nobody\nGroup nogroup\nUmask 022\nMaxInstances 30\n"
        "PidFile " + run + "/proftpd.pid\nScoreboardFile " + run + "/proftpd.scoreboard\n"
        "DelayTable " + run + "/proftpd.delay\nDelayEngine off\n"
        "WtmpLog off\nUseReverseDNS off\n"
        "SystemLog " + (root / "proftpd.log").string() + "\n"
        "TransferLog " + (root / "xfer.log").string() + "\n"
        "ExtendedLog " + (root / "commands.log").string() + " ALL\n"
        "AuthPAM off\nAuthOrder mod_auth_file.c\n"
        "AuthUserFile " + (root / "ftpd.passwd").string() + "\n"
        "RequireValidShell off\nDefaultRoot ~\n"
        "AllowOverwrite on\nAllowStoreRestart on\nAllowRetrieveRestart on\n"
        "<Directory />\n  <Limit WRITE SITE_CHMOD>\n    DenyUser " + kFtpReadOnlyUser + "\n  </Limit>\n</Directory>\n"
        "<Anonymous " + anonRoot_.string() + ">\n"
        "  User ftp\n  Group ftp\n  UserAlias anonymous ftp\n  RequireValidShell off\n"
        "  <Limit WRITE SITE_CHMOD>\n    DenyAll\n  </Limit>\n</Anonymous>\n" + tlsConfig());
}

// Data connections must resume the control connection's TLS session (mod_tls's default).
std::string ProftpdServer::tlsConfig() const
{
    if (!tls_)
        return {};
    return "ModulePath " + tlsModuleDir().string() + "\nLoadModule mod_tls.c\n"
           "TLSEngine on\nTLSRequired on\nTLSVerifyClient off\n"
           "TLSLog " + (dir_.path() / "tls.log").string() + "\n"
           "TLSRSACertificateFile " + tls_->certFile.string() + "\n"
           "TLSRSACertificateKeyFile " + tls_->keyFile.string() + "\n";
}

void ProftpdServer::writeDataFile(const std::filesystem::path& relative, std::string_view bytes) const
{
    writeFileOwnedBy(dataDir_, relative, bytes, kFtpUser);
}

std::string ProftpdServer::logContents() const
{
    return readFileBytes(dir_.path() / "commands.log");
}

} // namespace brisk::test
