#include "vsftpd_server.h"

#include "file_io.h"
#include "ftp_users.h"

#include <filesystem>

namespace brisk::test {
namespace {
constexpr const char* kVsftpd = "/usr/sbin/vsftpd";
} // namespace

std::optional<std::string> VsftpdServer::unavailableReason()
{
    return firstReason({ftpUsersUnavailableReason(), missingProgram(kVsftpd, "vsftpd"), missingAccount("ftp")});
}

VsftpdServer::VsftpdServer(Loopback loopback, std::optional<ServerTls> tls, ConnectionsPerAddress limit)
    : SystemUserFtpDaemon("vsftpd", unavailableReason(), "vsftpd.log"), tls_(std::move(tls)), loopback_(loopback),
      limit_(limit)
{
    // vsftpd refuses an anonymous root or a secure chroot dir that is not root's own.
    for (const auto& rootsOwn : {dir() / "anon" / "pub", dir() / "anon", dir() / "empty"}) {
        std::filesystem::create_directories(rootsOwn);
        std::filesystem::permissions(rootsOwn, std::filesystem::perms(0755));
    }
    writeFileBytes(dir() / "users" / kFtpReadOnlyUser, "write_enable=NO\n");
    // Start-up errors go to the stdin file.
    start([&](uint16_t port) {
        writeFileBytes(dir() / "vsftpd.conf", config(port));
        return DaemonLaunch{{kVsftpd, (dir() / "vsftpd.conf").string()}, dir() / "vsftpd.out", dir() / "vsftpd.err"};
    }, std::chrono::seconds(10), loopback_ == Loopback::ipv6);
}

// PASV replies name 127.0.0.1 on IPv4; on IPv6 the client takes EPSV, whose reply names no address.
// With TLS, plain logins are refused and data connections must resume the control connection's session.
std::string VsftpdServer::config(uint16_t port) const
{
    std::string text = loopback_ == Loopback::ipv6
        ? "listen=NO\nlisten_ipv6=YES\nlisten_address6=::1\n"
        : "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\npasv_address=127.0.0.1\n";
    text += "listen_port=" + std::to_string(port) + "\nbackground=NO\nanonymous_enable=YES\n"
            "anon_root=" + (dir() / "anon").string() + "\nno_anon_password=YES\nanon_upload_enable=NO\n"
            "anon_mkdir_write_enable=NO\n"
            "local_enable=YES\nwrite_enable=YES\nlocal_umask=022\nchmod_enable=YES\n"
            "pam_service_name=vsftpd\nlocal_root=" + dataDir().string() + "\n"
            "chroot_local_user=YES\nallow_writeable_chroot=YES\n"
            "user_config_dir=" + (dir() / "users").string() + "\n"
            "secure_chroot_dir=" + (dir() / "empty").string() + "\n"
            "pasv_enable=YES\nport_enable=YES\nconnect_from_port_20=NO\nseccomp_sandbox=NO\n"
            "xferlog_enable=YES\nvsftpd_log_file=" + (dir() / "vsftpd.log").string() + "\n"
            "log_ftp_protocol=YES\nsyslog_enable=NO\n";
    if (limit_.count > 0)
        text += "max_per_ip=" + std::to_string(limit_.count) + "\n";
    if (tls_)
        text += "ssl_enable=YES\nrsa_cert_file=" + tls_->certFile.string() + "\nrsa_private_key_file=" +
                tls_->keyFile.string() + "\nforce_local_logins_ssl=YES\nforce_local_data_ssl=YES\n"
                "allow_anon_ssl=YES\nrequire_ssl_reuse=YES\n" + (tls_->implicit ? "implicit_ssl=YES\n" : "");
    return text;
}

void VsftpdServer::denyUserCommands(const std::string& commands) const
{
    writeFileBytes(dir() / "users" / kFtpUser, "cmds_denied=" + commands + "\n");
}

void VsftpdServer::setUserRateLimit(uint32_t bytesPerSecond) const
{
    writeFileBytes(dir() / "users" / kFtpUser, "local_max_rate=" + std::to_string(bytesPerSecond) + "\n");
}

} // namespace brisk::test
