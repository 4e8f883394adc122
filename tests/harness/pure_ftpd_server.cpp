#include "pure_ftpd_server.h"

#include "command_runner.h"
#include "file_io.h"
#include "ftp_users.h"
#include "unique_fd.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <random>
#include <stdexcept>

namespace brisk::test {
namespace {

constexpr unsigned kPassivePortCount = 32; // 16 sessions at once

std::filesystem::path pureFtpdPath() { return unpackedServerFile("pure-ftpd", "usr/sbin/pure-ftpd"); }
std::filesystem::path pwToolPath() { return unpackedServerFile("pure-ftpd", "usr/bin/pure-pw"); }

// Connections other tests closed linger in TIME_WAIT; pure-ftpd binds with SO_REUSEADDR as listeners
// do, so only a port someone listens on or uses counts as taken.
bool portBindable(unsigned port)
{
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const int on = 1;
    ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    return fd.valid() && ::bind(fd.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
}

// "first:last", a block of free consecutive ports drawn at random below Linux's ephemeral range
// (which the other servers' ports come from) and above 24000 (23000-23099 is used by shared test
// scripts on the same machine), so that parallel tests rarely share one; pure-ftpd skips a port
// that is taken anyway.
std::string pickPassivePorts()
{
    constexpr unsigned kLowest = 24000, kBlocks = (32768 - kLowest) / kPassivePortCount;
    std::mt19937 random{std::random_device{}()};
    for (int attempt = 0; attempt < 50; ++attempt) {
        const unsigned first = kLowest + std::uniform_int_distribution<unsigned>(0, kBlocks - 1)(random) * kPassivePortCount;
        unsigned port = first;
        while (port < first + kPassivePortCount && portBindable(port))
            ++port;
        if (port == first + kPassivePortCount)
            return std::to_string(first) + ":" + std::to_string(port - 1);
    }
    throw std::runtime_error("no block of free passive ports on 127.0.0.1");
}

} // namespace

std::optional<std::string> PureFtpdServer::unavailableReason()
{
    static const std::optional<std::string> reason =
        firstReason({ftpUsersUnavailableReason(), passwordHashUnavailableReason(),
                     unpackedProgramUnavailableReason(pwToolPath(), {"--help"}),
                     unpackedProgramUnavailableReason(pureFtpdPath(), {"--help"})});
    return reason;
}

// TLS level 3: logins and data connections without it are refused.
PureFtpdServer::PureFtpdServer(const ServerTls* tls)
    : SystemUserFtpDaemon("pure-ftpd", unavailableReason(), "transfer.log")
{
    writeUserDatabase();
    std::vector<std::string> argv = {pureFtpdPath().string(), "--passiveportrange", pickPassivePorts(),
        "--login", "puredb:" + (dir() / "users.pdb").string(),
        "--chrooteveryone", "--noanonymous", "--dontresolve", "--ipv4only",
        "--minuid", "1000", "--maxclientsnumber", "32", "--maxclientsperip", "32",
        "--altlog", "clf:" + (dir() / "transfer.log").string()};
    if (tls) {
        writeFileBytes(dir() / "pure-ftpd.pem", readFileBytes(tls->keyFile) + readFileBytes(tls->certFile));
        argv.insert(argv.end(), {"--tls", "3", "--certfile", (dir() / "pure-ftpd.pem").string()});
    }
    start([&](uint16_t port) {
        std::vector<std::string> withPort = argv;
        withPort.insert(withPort.end(), {"--bind", "127.0.0.1," + std::to_string(port)});
        return DaemonLaunch{withPort, dir() / "pure-ftpd.out", {}};
    });
}

// pure-pw's own "useradd" stores argon2 hashes that cost seconds per login, so the text form is
// written here and only compiled by pure-pw. Its database is read again at every login.
void PureFtpdServer::writeUserDatabase() const
{
    // Fields after the home are quotas and limits, unused; "/./" chroots the user there.
    const std::string home = dataDir().string() + "/./::::::::::::";
    writeFileBytes(dir() / "users.passwd", passwdLine(kFtpUser, kFtpPassword, home)
                                               + passwdLine(kFtpReadOnlyUser, kFtpReadOnlyPassword, home));
    const CommandResult r = runCommand({pwToolPath().string(), "mkdb", (dir() / "users.pdb").string(), "-f",
                                        (dir() / "users.passwd").string()});
    if (r.exitCode != 0)
        throw std::runtime_error("pure-pw mkdb failed: " + r.out + r.err);
}

} // namespace brisk::test
