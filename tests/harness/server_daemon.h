#pragma once

#include "temp_dir.h"

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brisk::test {

struct DaemonLaunch {
    std::vector<std::string> argv;        // argv[0] is the program's absolute path
    std::filesystem::path outputFile;     // receives stdout and stderr
    std::filesystem::path stdinFile;      // opened read-write as fd 0 when set (vsftpd reports
                                          // start-up errors there); /dev/null otherwise
};

// A server process started in its own session for one test, stopped (with everything it forked)
// when the object is destroyed. The test process becomes a child subreaper so that the daemon's
// orphaned session processes are reaped here too. Should the test process die without cleaning up,
// the daemon gets SIGTERM (the parent-death signal follows the creating thread, so create daemons on
// a thread that outlives them).
class DaemonProcess {
public:
    explicit DaemonProcess(DaemonLaunch launch);
    ~DaemonProcess();
    DaemonProcess(const DaemonProcess&) = delete;
    DaemonProcess& operator=(const DaemonProcess&) = delete;

    pid_t pid() const { return pid_; }

    // Until this process itself listens on 127.0.0.1:port ([::1]:port with ipv6): a listener of
    // another process does not count. Throws with the daemon's output when it exits first or the
    // limit passes.
    void waitListening(uint16_t port, std::chrono::milliseconds limit = std::chrono::seconds(10), bool ipv6 = false);
    // The first whole output line starting with `prefix` (without its line end); throws like waitListening.
    std::string waitForOutputLine(std::string_view prefix, std::chrono::milliseconds limit = std::chrono::seconds(10));
    // TERM to the process group and every descendant, up to 2 s of grace, then KILL; reaps all.
    void stop();
    // What the daemon wrote to stdout/stderr and, if set, to its stdin file.
    std::string output() const;

private:
    bool running();
    template <typename Done>
    void waitUntil(std::chrono::milliseconds limit, const std::string& what, Done done);
    [[noreturn]] void fail(const std::string& what) const;

    DaemonLaunch launch_;
    pid_t pid_ = -1;
    bool reaped_ = false;
};

// Every live descendant of `pid`, found through the parent ids in /proc, so also those that left
// the process group with setsid().
std::vector<pid_t> descendantsOf(pid_t pid);

struct ListeningDaemon {
    uint16_t port = 0;
    std::unique_ptr<DaemonProcess> daemon;
};

// Starts the daemon that `specFor(port)` describes on a port of 127.0.0.1 that was free a moment ago
// and waits until it listens there. Another process may take the port first; servers then exit or
// keep retrying the bind, so any failure is tried again with a new port, a few times, before the
// last error (with the daemon's output) is thrown.
ListeningDaemon startOnFreePort(const std::function<DaemonLaunch(uint16_t port)>& specFor,
                                std::chrono::milliseconds listenLimit = std::chrono::seconds(10),
                                bool ipv6 = false);

// What every server of the harness shares: a fresh temp dir for its files, its port on the loopback
// and its daemon, stopped with everything it forked when the server object goes.
class LoopbackDaemon {
public:
    uint16_t port() const { return port_; }
    // The server's own log.
    std::string logContents() const;

protected:
    // Throws "<name> cannot run: <why>" when there is a why.
    LoopbackDaemon(const std::string& name, const std::optional<std::string>& why, std::filesystem::path logFile,
                   mode_t dirMode = 0700);
    void start(const std::function<DaemonLaunch(uint16_t port)>& specFor,
               std::chrono::milliseconds listenLimit = std::chrono::seconds(10), bool ipv6 = false);
    const std::filesystem::path& dir() const { return dir_.path(); }

    TempDir dir_;
    uint16_t port_ = 0;
    std::unique_ptr<DaemonProcess> daemon_;

private:
    std::filesystem::path logFile_;
};

// An FTP server whose users kFtpUser and kFtpReadOnlyUser (ftp_users.h) are system accounts sharing
// the root dataDir(), which kFtpUser owns. Needs root.
class SystemUserFtpDaemon : public LoopbackDaemon {
public:
    const std::filesystem::path& dataDir() const { return dataDir_; }
    // Writes a file below dataDir(), owned (like its new parent dirs) by kFtpUser, so that the user
    // can also overwrite, rename or delete it over FTP.
    void writeDataFile(const std::filesystem::path& relative, std::string_view bytes) const;

protected:
    SystemUserFtpDaemon(const std::string& name, const std::optional<std::string>& why, std::filesystem::path logFile);

private:
    std::filesystem::path dataDir_;
};

// A SOCKS server whose log has a line for each connection it made for a client.
class SocksDaemon : public LoopbackDaemon {
public:
    // Connections the proxy made to 127.0.0.1:destPort for its clients, as its log tells.
    size_t connectionsTo(uint16_t destPort) const { return connections(destPort); }
    // Connections made through the proxy to any port of 127.0.0.1.
    size_t connectionsToAnyPort() const { return connections(std::nullopt); }

protected:
    // `connectionLine`: a regular expression for such a log line, whole, whose first group is the
    // destination port on 127.0.0.1.
    SocksDaemon(const std::string& name, const std::optional<std::string>& why, std::filesystem::path logFile,
                std::string connectionLine);

private:
    size_t connections(std::optional<uint16_t> destPort) const;
    std::string connectionLine_;
};

// The first reason that is set, if any.
std::optional<std::string> firstReason(std::initializer_list<std::optional<std::string>> reasons);
// Why a Debian program cannot be used: it is missing.
std::optional<std::string> missingProgram(const std::string& path, const std::string& package);
std::optional<std::string> missingAccount(const std::string& name);

// The crypt(3) SHA-512 form ("$6$salt$hash") of a password, for servers that read password files:
// checking it takes milliseconds, unlike the argon2 hashes some servers' own tools write.
std::string sha512CryptHash(const std::string& password);
// "name:hash:uid:gid::rest" with the system account's ids, so that files it owns are the user's.
std::string passwdLine(const std::string& name, const std::string& password, const std::string& rest);
std::optional<std::string> passwordHashUnavailableReason();

// A file of a server package that scripts/unpack-servers unpacked below $BRISKLANE_SERVERS_DIR (else
// /var/tmp/brisklane-servers), e.g. unpackedServerFile("pure-ftpd", "usr/sbin/pure-ftpd").
std::filesystem::path unpackedServerFile(const std::string& package, const std::filesystem::path& inPackage);
// Why an unpacked program cannot be used (not unpacked, or a library missing): it does not exit with 0
// when run with the `probe` arguments.
std::optional<std::string> unpackedProgramUnavailableReason(const std::filesystem::path& program,
                                                            const std::vector<std::string>& probe);

} // namespace brisk::test
