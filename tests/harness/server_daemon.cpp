#include "server_daemon.h"

#include "command_runner.h"
#include "file_io.h"
#include "ftp_users.h"
#include "loopback_port.h"
#include "owned_files.h"
#include "unique_fd.h"

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace brisk::test {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPollInterval = std::chrono::milliseconds(20);
constexpr auto kStopGrace = std::chrono::seconds(2);
constexpr int kStartAttempts = 4;

// Runs in the forked child: only system calls until exec. Reports a failure's errno on `errorFd`.
[[noreturn]] void execDaemon(char* const* argv, const char* in, const char* out, pid_t parent, int errorFd)
{
    // The test process may die without running destructors (a crash, a time-out kill).
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent)
        ::_exit(127);
    ::setsid();
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    const int inFd = ::open(in, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    const int outFd = ::open(out, O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
    if (inFd >= 0 && outFd >= 0 && ::dup2(inFd, 0) >= 0 && ::dup2(outFd, 1) >= 0 && ::dup2(outFd, 2) >= 0)
        ::execve(argv[0], argv, environ);
    const int error = errno;
    [[maybe_unused]] const ssize_t n = ::write(errorFd, &error, sizeof error);
    ::_exit(127);
}

// fork + exec rather than posix_spawn, for the parent-death signal above.
pid_t spawnInNewSession(const DaemonLaunch& launch)
{
    std::vector<char*> argv;
    for (const auto& arg : launch.argv)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const std::string in = launch.stdinFile.empty() ? "/dev/null" : launch.stdinFile.string();
    const std::string out = launch.outputFile.string();
    const pid_t parent = ::getpid();
    int execPipe[2];
    if (::pipe2(execPipe, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed: " + std::string(std::strerror(errno)));
    UniqueFd readEnd(execPipe[0]), writeEnd(execPipe[1]);

    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed: " + std::string(std::strerror(errno)));
    if (pid == 0)
        execDaemon(argv.data(), in.c_str(), out.c_str(), parent, writeEnd.get());
    writeEnd.reset();
    // The pipe closes on exec; an error number arrives instead when the child could not get there.
    int childErrno = 0;
    ssize_t n = 0;
    while ((n = ::read(readEnd.get(), &childErrno, sizeof childErrno)) < 0 && errno == EINTR) {
    }
    if (n > 0) {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        throw std::runtime_error("cannot start " + launch.argv[0] + ": " + std::strerror(childErrno));
    }
    return pid;
}

// State and parent from /proc/PID/stat, read after the last ')' since the command name may hold ") ".
// Plain read(2): a process may vanish meanwhile, and that must not throw.
bool readStat(pid_t pid, char& state, pid_t& parent)
{
    UniqueFd fd(::open(("/proc/" + std::to_string(pid) + "/stat").c_str(), O_RDONLY | O_CLOEXEC));
    char buf[1024];
    const ssize_t n = fd.valid() ? ::read(fd.get(), buf, sizeof buf - 1) : -1;
    const std::string text(buf, static_cast<size_t>(n > 0 ? n : 0));
    const auto close = text.rfind(')');
    if (close == std::string::npos)
        return false;
    std::istringstream rest(text.substr(close + 1));
    return static_cast<bool>(rest >> state >> parent);
}

bool processAlive(pid_t pid)
{
    char state = '?';
    pid_t parent = 0;
    return readStat(pid, state, parent) && state != 'Z';
}

// The socket inode of a TCP listener on 127.0.0.1:port (or [::1]:port), from /proc/net/tcp (or tcp6).
std::optional<unsigned long> listenerInode(uint16_t port, bool ipv6)
{
    char local[48];
    std::snprintf(local, sizeof local, "%s:%04X", ipv6 ? "00000000000000000000000001000000" : "0100007F",
                  static_cast<unsigned>(port));
    std::ifstream in(ipv6 ? "/proc/net/tcp6" : "/proc/net/tcp");
    std::string line;
    std::getline(in, line); // column titles
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string slot, localAddr, remoteAddr, state, skip;
        unsigned long inode = 0;
        fields >> slot >> localAddr >> remoteAddr >> state;
        for (int i = 0; i < 5; ++i)
            fields >> skip; // tx:rx queue, timer, retransmits, uid, timeout
        fields >> inode;
        if (fields && localAddr == local && state == "0A")
            return inode;
    }
    return std::nullopt;
}

// Whether process `pid` holds the socket with this inode among its open files.
bool processOwnsSocket(pid_t pid, unsigned long inode)
{
    const std::string wanted = "socket:[" + std::to_string(inode) + "]";
    std::error_code ec;
    for (std::filesystem::directory_iterator it("/proc/" + std::to_string(pid) + "/fd", ec), end;
         !ec && it != end; it.increment(ec)) {
        std::error_code linkError;
        if (std::filesystem::read_symlink(it->path(), linkError).string() == wanted)
            return true;
    }
    return false;
}

// Reaps those that are children (of this process, as subreaper) on the way.
bool anyAlive(const std::vector<pid_t>& pids)
{
    return std::any_of(pids.begin(), pids.end(), [](pid_t p) {
        while (::waitpid(p, nullptr, WNOHANG) < 0 && errno == EINTR) {
        }
        return processAlive(p);
    });
}

std::optional<std::string> reasonIf(bool condition, std::string why)
{
    return condition ? std::optional<std::string>(std::move(why)) : std::nullopt;
}

void waitWhileAnyAlive(const std::vector<pid_t>& pids)
{
    const auto deadline = Clock::now() + kStopGrace;
    while (anyAlive(pids) && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

} // namespace

std::vector<pid_t> descendantsOf(pid_t pid)
{
    std::multimap<pid_t, pid_t> children;
    std::error_code ec;
    for (std::filesystem::directory_iterator it("/proc", ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        char state = '?';
        pid_t parent = 0;
        if (name.find_first_not_of("0123456789") == std::string::npos
            && readStat(std::atoi(name.c_str()), state, parent) && state != 'Z')
            children.emplace(parent, std::atoi(name.c_str()));
    }
    std::vector<pid_t> found = {pid};
    for (size_t i = 0; i < found.size(); ++i) {
        for (auto [it, end] = children.equal_range(found[i]); it != end; ++it)
            found.push_back(it->second);
    }
    found.erase(found.begin());
    return found;
}

DaemonProcess::DaemonProcess(DaemonLaunch launch) : launch_(std::move(launch))
{
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    pid_ = spawnInNewSession(launch_);
}

DaemonProcess::~DaemonProcess()
{
    stop();
}

bool DaemonProcess::running()
{
    pid_t r = 0;
    while (!reaped_ && (r = ::waitpid(pid_, nullptr, WNOHANG)) < 0 && errno == EINTR) {
    }
    reaped_ = reaped_ || r != 0;
    return !reaped_;
}

template <typename Done>
void DaemonProcess::waitUntil(std::chrono::milliseconds limit, const std::string& what, Done done)
{
    const auto deadline = Clock::now() + limit;
    while (!done()) {
        if (!running())
            fail("exited before " + what);
        if (Clock::now() > deadline)
            fail("not " + what + " in time");
        std::this_thread::sleep_for(kPollInterval);
    }
}

void DaemonProcess::waitListening(uint16_t port, std::chrono::milliseconds limit, bool ipv6)
{
    waitUntil(limit, "listening on port " + std::to_string(port), [&] {
        const auto inode = listenerInode(port, ipv6);
        return inode && processOwnsSocket(pid_, *inode);
    });
}

std::string DaemonProcess::waitForOutputLine(std::string_view prefix, std::chrono::milliseconds limit)
{
    std::string found;
    waitUntil(limit, "printing \"" + std::string(prefix) + "\"", [&] {
        const std::string text = readFileBytes(launch_.outputFile);
        for (size_t start = 0, end; found.empty() && (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
            if (text.compare(start, prefix.size(), prefix) == 0)
                found = text.substr(start, end - start);
        }
        return !found.empty();
    });
    return found;
}

void DaemonProcess::stop()
{
    if (pid_ < 0)
        return;
    std::vector<pid_t> victims = descendantsOf(pid_);
    victims.push_back(pid_);
    ::kill(-pid_, SIGTERM);
    for (pid_t p : victims)
        ::kill(p, SIGTERM);
    waitWhileAnyAlive(victims);
    for (pid_t p : victims) {
        if (processAlive(p))
            ::kill(p, SIGKILL);
    }
    if (!reaped_)
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
    reaped_ = true;
    waitWhileAnyAlive(victims);
    pid_ = -1;
}

std::string DaemonProcess::output() const
{
    std::string text = readFileBytes(launch_.outputFile);
    if (!launch_.stdinFile.empty())
        text += readFileBytes(launch_.stdinFile);
    return text;
}

void DaemonProcess::fail(const std::string& what) const
{
    throw std::runtime_error(launch_.argv[0] + " " + what + "; its output:\n" + output());
}

ListeningDaemon startOnFreePort(const std::function<DaemonLaunch(uint16_t port)>& specFor,
                                std::chrono::milliseconds listenLimit, bool ipv6)
{
    std::string lastError;
    for (int attempt = 1; attempt <= kStartAttempts; ++attempt) {
        ListeningDaemon started;
        started.port = pickFreeLoopbackPort();
        started.daemon = std::make_unique<DaemonProcess>(specFor(started.port));
        try {
            started.daemon->waitListening(started.port, listenLimit, ipv6);
            return started;
        } catch (const std::runtime_error& e) {
            lastError = e.what();
        }
    }
    throw std::runtime_error("no start in " + std::to_string(kStartAttempts) + " attempts; last: " + lastError);
}

LoopbackDaemon::LoopbackDaemon(const std::string& name, const std::optional<std::string>& why,
                               std::filesystem::path logFile, mode_t dirMode)
    : dir_(dirMode), logFile_(dir_.path() / logFile)
{
    if (why)
        throw std::runtime_error(name + " cannot run: " + *why);
}

void LoopbackDaemon::start(const std::function<DaemonLaunch(uint16_t port)>& specFor,
                           std::chrono::milliseconds listenLimit, bool ipv6)
{
    ListeningDaemon started = startOnFreePort(specFor, listenLimit, ipv6);
    port_ = started.port;
    daemon_ = std::move(started.daemon);
}

std::string LoopbackDaemon::logContents() const
{
    return readFileBytes(logFile_);
}

SystemUserFtpDaemon::SystemUserFtpDaemon(const std::string& name, const std::optional<std::string>& why,
                                         std::filesystem::path logFile)
    : LoopbackDaemon(name, why, std::move(logFile), 0755), dataDir_(dir() / "data")
{
    ensureFtpUsers();
    makeDirOwnedBy(dataDir_, kFtpUser);
}

void SystemUserFtpDaemon::writeDataFile(const std::filesystem::path& relative, std::string_view bytes) const
{
    writeFileOwnedBy(dataDir_, relative, bytes, kFtpUser);
}

SocksDaemon::SocksDaemon(const std::string& name, const std::optional<std::string>& why,
                         std::filesystem::path logFile, std::string connectionLine)
    : LoopbackDaemon(name, why, std::move(logFile)), connectionLine_(std::move(connectionLine))
{
}

size_t SocksDaemon::connections(std::optional<uint16_t> destPort) const
{
    const std::regex pattern(connectionLine_);
    std::istringstream log(logContents());
    size_t count = 0;
    std::smatch m;
    for (std::string line; std::getline(log, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (std::regex_match(line, m, pattern) && (!destPort || m[1] == std::to_string(*destPort)))
            ++count;
    }
    return count;
}

std::optional<std::string> firstReason(std::initializer_list<std::optional<std::string>> reasons)
{
    const auto why = std::find_if(reasons.begin(), reasons.end(), [](const auto& r) { return r.has_value(); });
    return why == reasons.end() ? std::nullopt : *why;
}

std::optional<std::string> missingProgram(const std::string& path, const std::string& package)
{
    return reasonIf(::access(path.c_str(), X_OK) != 0, path + " is missing (package " + package + ")");
}

std::optional<std::string> missingAccount(const std::string& name)
{
    return reasonIf(::getpwnam(name.c_str()) == nullptr, "the system user " + name + " is missing");
}

std::string sha512CryptHash(const std::string& password)
{
    CommandResult r = runCommand({"/usr/bin/openssl", "passwd", "-6", "-stdin"}, password + "\n");
    while (!r.out.empty() && (r.out.back() == '\n' || r.out.back() == '\r'))
        r.out.pop_back();
    if (r.exitCode != 0 || r.out.rfind("$6$", 0) != 0)
        throw std::runtime_error("openssl passwd failed: " + r.err);
    return r.out;
}

std::string passwdLine(const std::string& name, const std::string& password, const std::string& rest)
{
    const passwd* account = ::getpwnam(name.c_str());
    if (account == nullptr)
        throw std::runtime_error("system account " + name + " is missing");
    return name + ":" + sha512CryptHash(password) + ":" + std::to_string(account->pw_uid) + ":"
        + std::to_string(account->pw_gid) + "::" + rest + "\n";
}

std::optional<std::string> passwordHashUnavailableReason()
{
    return missingProgram("/usr/bin/openssl", "openssl");
}

std::filesystem::path unpackedServerFile(const std::string& package, const std::filesystem::path& inPackage)
{
    const char* configured = std::getenv("BRISKLANE_SERVERS_DIR");
    const std::filesystem::path dir = configured != nullptr && *configured != '\0' ? configured : "/var/tmp/brisklane-servers";
    return dir / package / inPackage;
}

std::optional<std::string> unpackedProgramUnavailableReason(const std::filesystem::path& program,
                                                            const std::vector<std::string>& probe)
{
    if (::access(program.c_str(), X_OK) != 0)
        return program.string() + " is missing (run scripts/unpack-servers)";
    std::vector<std::string> argv = {program.string()};
    argv.insert(argv.end(), probe.begin(), probe.end());
    const CommandResult r = runCommand(argv, {}, std::chrono::seconds(10));
    if (r.exitCode != 0)
        return program.string() + " does not run (a library package missing?): " + r.err;
    return std::nullopt;
}

} // namespace brisk::test
