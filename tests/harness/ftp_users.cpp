#include "ftp_users.h"

#include "command_runner.h"
#include "unique_fd.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace brisk::test {
namespace {

constexpr const char* kLockFile = "/tmp/brisklane-ftp-users.lock";
constexpr const char* kHome = "/";
constexpr const char* kShell = "/bin/bash"; // vsftpd's PAM stack refuses shells not in /etc/shells

void run(const std::vector<std::string>& argv, const std::string& input = {})
{
    const CommandResult r = runCommand(argv, input);
    if (r.exitCode != 0)
        throw std::runtime_error(argv[0] + " failed (" + std::to_string(r.exitCode) + "): " + r.err);
}

void ensureAccount(const std::string& name)
{
    const passwd* entry = ::getpwnam(name.c_str());
    if (entry == nullptr)
        run({"/usr/sbin/useradd", "-M", "-d", kHome, "-s", kShell, name});
    else if (std::string(entry->pw_dir) != kHome || std::string(entry->pw_shell) != kShell)
        run({"/usr/sbin/usermod", "-d", kHome, "-s", kShell, name});
}

} // namespace

void ensureFtpUsers()
{
    UniqueFd lock(::open(kLockFile, O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!lock.valid())
        throw std::runtime_error(std::string("cannot open ") + kLockFile + ": " + std::strerror(errno));
    while (::flock(lock.get(), LOCK_EX) != 0 && errno == EINTR) {
    }
    ensureAccount(kFtpUser);
    ensureAccount(kFtpReadOnlyUser);
    run({"/usr/sbin/chpasswd"}, std::string(kFtpUser) + ":" + kFtpPassword + "\n" + kFtpReadOnlyUser
                                    + ":" + kFtpReadOnlyPassword + "\n");
}

std::optional<std::string> ftpUsersUnavailableReason()
{
    if (::geteuid() != 0)
        return "system FTP accounts need root";
    for (const char* tool : {"/usr/sbin/useradd", "/usr/sbin/usermod", "/usr/sbin/chpasswd"}) {
        if (::access(tool, X_OK) != 0)
            return std::string(tool) + " is missing (package passwd)";
    }
    return std::nullopt;
}

} // namespace brisk::test
