#include "vsftpd_server.h"

#include "daemon_on_free_port.h"
#include "file_io.h"
#include "ftp_users.h"
#include "owned_files.h"

#include <pwd.h>
#include <unistd.h>

#include <stdexcept>

namespace brisk::test {
namespace {

constexpr const char* kVsftpd = "/usr/sbin/vsftpd";

// vsftpd refuses an anonymous root or a secure chroot dir that is not root's own.
void makeRootDir(const std::filesystem::path& path)
{
    std::filesystem::create_directories(path);
    std::filesystem::permissions(path, std::filesystem::perms(0755));
}

} // namespace

std::optional<std::string> VsftpdServer::unavailableReason()
{
    if (auto why = ftpUsersUnavailableReason())
        return why;
    if (::access(kVsftpd, X_OK) != 0)
        return std::string(kVsftpd) + " is missing (package vsftpd)";
    if (::getpwnam("ftp") == nullptr)
        return "the system user ftp (anonymous logins) is missing";
    return std::nullopt;
}

VsftpdServer::VsftpdServer(ServerTls tls) : tls_(std::move(tls))
{
    start();
}

VsftpdServer::VsftpdServer()
{
    start();
}

VsftpdServer::VsftpdServer(Loopback loopback)
    : loopback_(loopback)
{
    start();
}

void VsftpdServer::start()
{
    if (auto why = unavailableReason())
        throw std::runtime_error("vsftpd cannot run: " + *why);
    ensureFtpUsers();
    const auto& root = dir_.path();
    dataDir_ = root / "data";
    anonRoot_ = root / "anon";
    makeDirOwnedBy(dataDir_, kFtpUser);
    makeRootDir(anonRoot_ / "pub");
    makeRootDir(root / "empty");
    writeFileBytes(root / "users" / kFtpReadOnlyUser, "write_enable=NO\n");
    // Start-up errors go to the stdin file.
    auto started = startOnFreePort([&](uint16_t port) {
        writeConfig(port);
        return DaemonLaunch{{kVsftpd, (root / "vsftpd.conf").string()}, root / "vsftpd.out", root / "vsftpd.err"};
    }, std::chrono::seconds(10), loopback_ == Loopback::ipv6);
    port_ = started.port;
    daemon_ = std::move(started.daemon);
}

VsftpdServer::~VsftpdServer() = default;

void VsftpdServer::writeConfig(uint16_t port) const
{
    const auto& root = dir_.path();
    writeFileBytes(root / "vsftpd.conf",
        listenConfig() +
        "listen_port=" + std::to_string(port) + "\n"
        "background=NO\n"
        "anonymous_enable=YES\nanon_root=" + anonRoot_.string() + "\n"
        "no_anon_password=YES\nanon_upload_enable=NO\nanon_mkdir_write_enable=NO\n"
        "local_enable=YES\nwrite_enable=YES\nlocal_umask=022\nchmod_enable=YES\n"
        "pam_service_name=vsftpd\n"
        "local_root=" + dataDir_.string() + "\n"
        "chroot_local_user=YES\nallow_writeable_chroot=YES\n"
        "user_config_dir=" + (root / "users").string() + "\n"
        "secure_chroot_dir=" + (root / "empty").string() + "\n"
        "pasv_enable=YES\n"
        "port_enable=YES\nconnect_from_port_20=NO\n"
        "seccomp_sandbox=NO\n"
        "xferlog_enable=YES\nvsftpd_log_file=" + (root / "vsftpd.log").string() + "\n"
        "log_ftp_protocol=YES\nsyslog_enable=NO\n" + tlsConfig());
}

// PASV replies name 127.0.0.1 on IPv4; on IPv6 the client takes EPSV, whose reply names no address.
std::string VsftpdServer::listenConfig() const
{
    if (loopback_ == Loopback::ipv6)
        return "listen=NO\nlisten_ipv6=YES\nlisten_address6=::1\n";
    return "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\npasv_address=127.0.0.1\n";
}

// Plain logins are refused, and data connections must resume the control connection's TLS session.
std::string VsftpdServer::tlsConfig() const
{
    if (!tls_)
        return {};
    return "ssl_enable=YES\nrsa_cert_file=" + tls_->certFile.string() + "\nrsa_private_key_file=" +
           tls_->keyFile.string() + "\nforce_local_logins_ssl=YES\nforce_local_data_ssl=YES\n"
           "allow_anon_ssl=YES\nrequire_ssl_reuse=YES\n" + (tls_->implicit ? "implicit_ssl=YES\n" : "");
}

void VsftpdServer::writeDataFile(const std::filesystem::path& relative, std::string_view bytes) const
{
    writeFileOwnedBy(dataDir_, relative, bytes, kFtpUser);
}

void VsftpdServer::setUserRateLimit(uint32_t bytesPerSecond) const
{
    writeFileBytes(dir_.path() / "users" / kFtpUser, "local_max_rate=" + std::to_string(bytesPerSecond) + "\n");
}

std::string VsftpdServer::logContents() const
{
    return readFileBytes(dir_.path() / "vsftpd.log");
}

} // namespace brisk::test
