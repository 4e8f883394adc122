#include "daemon_process.h"

#include "file_io.h"
#include "loopback_port.h"
#include "process_tree.h"
#include "unique_fd.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace brisk::test {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPollInterval = std::chrono::milliseconds(20);
constexpr auto kStopGrace = std::chrono::seconds(2);

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
    if (launch.argv.empty())
        throw std::invalid_argument("DaemonLaunch.argv is empty");
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
    // Until then the child also still holds this process's sockets.
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

void reapIfChild(pid_t pid)
{
    while (::waitpid(pid, nullptr, WNOHANG) < 0 && errno == EINTR) {
    }
}

bool anyAlive(const std::vector<pid_t>& pids)
{
    for (pid_t p : pids) {
        reapIfChild(p);
        if (processAlive(p))
            return true;
    }
    return false;
}

} // namespace

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
    if (reaped_)
        return false;
    int status = 0;
    pid_t r = 0;
    while ((r = ::waitpid(pid_, &status, WNOHANG)) < 0 && errno == EINTR) {
    }
    if (r == 0)
        return true;
    reaped_ = true;
    return false;
}

void DaemonProcess::waitListening(uint16_t port, std::chrono::milliseconds limit, bool ipv6)
{
    const auto deadline = Clock::now() + limit;
    for (;;) {
        if (!running())
            fail("exited before listening on port " + std::to_string(port));
        if (const auto inode = loopbackListenerInode(port, ipv6); inode && processOwnsSocket(pid_, *inode))
            return;
        if (Clock::now() > deadline)
            fail("not listening on port " + std::to_string(port) + " in time");
        std::this_thread::sleep_for(kPollInterval);
    }
}

std::string DaemonProcess::waitForOutputLine(std::string_view prefix, std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    for (;;) {
        const std::string text = readFileBytes(launch_.outputFile);
        for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
            if (text.compare(start, prefix.size(), prefix) == 0)
                return text.substr(start, end - start);
        }
        if (!running())
            fail("exited before printing \"" + std::string(prefix) + "\"");
        if (Clock::now() > deadline)
            fail("did not print \"" + std::string(prefix) + "\" in time");
        std::this_thread::sleep_for(kPollInterval);
    }
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

    const auto deadline = Clock::now() + kStopGrace;
    while (anyAlive(victims) && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    for (pid_t p : victims) {
        if (processAlive(p))
            ::kill(p, SIGKILL);
    }
    if (!reaped_)
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
    reaped_ = true;
    const auto reapDeadline = Clock::now() + kStopGrace;
    while (anyAlive(victims) && Clock::now() < reapDeadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    for (pid_t p : victims)
        reapIfChild(p);
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

} // namespace brisk::test
