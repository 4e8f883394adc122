#include "vsftpd_server.h"

#include "file_io.h"
#include "ftp_users.h"
#include "loopback_port.h"

#include <pwd.h>
#include <unistd.h>

#include <stdexcept>
#include <vector>

namespace brisk::test {
namespace {

constexpr const char* kVsftpd = "/usr/sbin/vsftpd";
constexpr int kStartAttempts = 5;

void chownToFtpUser(const std::filesystem::path& path)
{
    const passwd* user = ::getpwnam(kFtpUser);
    if (user == nullptr || ::chown(path.c_str(), user->pw_uid, user->pw_gid) != 0)
        throw std::runtime_error("cannot give " + path.string() + " to " + kFtpUser);
}

void makeDir(const std::filesystem::path& path)
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

VsftpdServer::VsftpdServer()
{
    if (auto why = unavailableReason())
        throw std::runtime_error("vsftpd cannot run: " + *why);
    ensureFtpUsers();
    const auto& root = dir_.path();
    dataDir_ = root / "data";
    anonRoot_ = root / "anon";
    makeDir(dataDir_);
    chownToFtpUser(dataDir_);
    makeDir(anonRoot_ / "pub");
    makeDir(root / "empty");
    writeFileBytes(root / "users" / kFtpReadOnlyUser, "write_enable=NO\n");
    for (int attempt = 1; attempt <= kStartAttempts; ++attempt) {
        if (tryStart())
            return;
    }
    throw std::runtime_error("vsftpd could not bind a free port in " + std::to_string(kStartAttempts)
                             + " attempts");
}

VsftpdServer::~VsftpdServer() = default;

// Another process may take the chosen port before vsftpd binds it; vsftpd then exits and the
// caller tries again with a new port. Every other failure throws.
bool VsftpdServer::tryStart()
{
    port_ = pickFreeLoopbackPort();
    writeConfig();
    const auto& root = dir_.path();
    daemon_ = std::make_unique<DaemonProcess>(DaemonLaunch{
        {kVsftpd, (root / "vsftpd.conf").string()}, root / "vsftpd.out", root / "vsftpd.err"});
    try {
        daemon_->waitListening(port_);
        return true;
    } catch (const std::runtime_error&) {
        if (daemon_->output().find("could not bind") == std::string::npos)
            throw;
        daemon_.reset();
        return false;
    }
}

void VsftpdServer::writeConfig() const
{
    const auto& root = dir_.path();
    writeFileBytes(root / "vsftpd.conf",
        "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\n"
        "listen_port=" + std::to_string(port_) + "\n"
        "background=NO\n"
        "anonymous_enable=YES\nanon_root=" + anonRoot_.string() + "\n"
        "no_anon_password=YES\nanon_upload_enable=NO\nanon_mkdir_write_enable=NO\n"
        "local_enable=YES\nwrite_enable=YES\nlocal_umask=022\nchmod_enable=YES\n"
        "pam_service_name=vsftpd\n"
        "local_root=" + dataDir_.string() + "\n"
        "chroot_local_user=YES\nallow_writeable_chroot=YES\n"
        "user_config_dir=" + (root / "users").string() + "\n"
        "secure_chroot_dir=" + (root / "empty").string() + "\n"
        "pasv_enable=YES\npasv_address=127.0.0.1\n"
        "port_enable=YES\nconnect_from_port_20=NO\n"
        "seccomp_sandbox=NO\n"
        "xferlog_enable=YES\nvsftpd_log_file=" + (root / "vsftpd.log").string() + "\n"
        "log_ftp_protocol=YES\nsyslog_enable=NO\n");
}

void VsftpdServer::writeDataFile(const std::filesystem::path& relative, std::string_view bytes) const
{
    const auto target = dataDir_ / relative;
    std::vector<std::filesystem::path> missing;
    for (auto dir = target.parent_path(); !std::filesystem::exists(dir); dir = dir.parent_path())
        missing.push_back(dir);
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        makeDir(*it);
        chownToFtpUser(*it);
    }
    writeFileBytes(target, bytes);
    chownToFtpUser(target);
}

void VsftpdServer::setUserRateLimit(uint32_t bytesPerSecond) const
{
    writeFileBytes(dir_.path() / "users" / kFtpUser, "local_max_rate=" + std::to_string(bytesPerSecond) + "\n");
}

std::string VsftpdServer::logContents() const
{
    return readFileBytes(dir_.path() / "vsftpd.log");
}

std::string VsftpdServer::output() const
{
    return daemon_ ? daemon_->output() : std::string();
}

} // namespace brisk::test
