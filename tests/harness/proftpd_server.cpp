#include "proftpd_server.h"

#include "file_io.h"
#include "ftp_users.h"

#include <sys/stat.h>

namespace brisk::test {
namespace {

std::filesystem::path proftpdPath() { return unpackedServerFile("proftpd-core", "usr/sbin/proftpd"); }
std::filesystem::path tlsModule() { return unpackedServerFile("proftpd-mod-crypto", "usr/lib/proftpd/mod_tls.so"); }

} // namespace

std::optional<std::string> ProftpdServer::unavailableReason()
{
    static const std::optional<std::string> reason =
        firstReason({ftpUsersUnavailableReason(), passwordHashUnavailableReason(), missingAccount("nobody"),
                     unpackedProgramUnavailableReason(proftpdPath(), {"-v"})});
    return reason;
}

std::optional<std::string> ProftpdServer::tlsUnavailableReason()
{
    if (auto why = unavailableReason())
        return why;
    if (!std::filesystem::exists(tlsModule()))
        return tlsModule().string() + " is missing (run scripts/unpack-servers)";
    return std::nullopt;
}

ProftpdServer::ProftpdServer(std::optional<ServerTls> tls)
    : SystemUserFtpDaemon("proftpd", unavailableReason(), "commands.log"), tls_(std::move(tls))
{
    std::filesystem::create_directories(dir() / "run");
    const auto users = dir() / "ftpd.passwd";
    const std::string home = dataDir().string() + ":/bin/false";
    writeFileBytes(users, passwdLine(kFtpUser, kFtpPassword, home)
                              + passwdLine(kFtpReadOnlyUser, kFtpReadOnlyPassword, home));
    ::chmod(users.c_str(), 0600);
    start([&](uint16_t port) {
        writeFileBytes(dir() / "proftpd.conf", config(port));
        return DaemonLaunch{{proftpdPath().string(), "--nodaemon", "--config", (dir() / "proftpd.conf").string()},
                            dir() / "proftpd.out", {}};
    });
}

// DelayEngine off: otherwise every login, and a failed one most, is slowed down on purpose. With TLS,
// data connections must resume the control connection's TLS session (mod_tls's default).
std::string ProftpdServer::config(uint16_t port) const
{
    const std::string run = (dir() / "run").string();
    std::string text =
        "ServerName \"Brisklane proftpd\"\nServerType standalone\nDefaultServer on\n"
        "UseIPv6 off\nDefaultAddress 127.0.0.1\nSocketBindTight on\nPort " + std::to_string(port) + "\n"
        "User nobody\nGroup nogroup\nUmask 022\nMaxInstances 30\n"
        "PidFile " + run + "/proftpd.pid\nScoreboardFile " + run + "/proftpd.scoreboard\n"
        "DelayTable " + run + "/proftpd.delay\nDelayEngine off\nWtmpLog off\nUseReverseDNS off\n"
        "SystemLog " + (dir() / "proftpd.log").string() + "\n"
        "TransferLog " + (dir() / "xfer.log").string() + "\n"
        "ExtendedLog " + (dir() / "commands.log").string() + " ALL\n"
        "AuthPAM off\nAuthOrder mod_auth_file.c\nAuthUserFile " + (dir() / "ftpd.passwd").string() + "\n"
        "RequireValidShell off\nDefaultRoot ~\nAllowOverwrite on\nAllowStoreRestart on\nAllowRetrieveRestart on\n"
        "<Directory />\n  <Limit WRITE SITE_CHMOD>\n    DenyUser " + kFtpReadOnlyUser + "\n  </Limit>\n</Directory>\n";
    if (tls_)
        text += "ModulePath " + tlsModule().parent_path().string() + "\nLoadModule mod_tls.c\n"
                "TLSEngine on\nTLSRequired on\nTLSVerifyClient off\nTLSLog " + (dir() / "tls.log").string() + "\n"
                "TLSRSACertificateFile " + tls_->certFile.string() + "\n"
                "TLSRSACertificateKeyFile " + tls_->keyFile.string() + "\n";
    return text;
}

} // namespace brisk::test
