#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
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

    // Polls /proc/net/tcp until this process listens on 127.0.0.1:port ([::1]:port with ipv6). Throws
    // with the daemon's output when it exits first or the limit passes.
    void waitListening(uint16_t port, std::chrono::milliseconds limit = std::chrono::seconds(10), bool ipv6 = false);

    // Waits until the output holds a whole line starting with `prefix` and returns that line
    // (without its line end). Throws like waitListening.
    std::string waitForOutputLine(std::string_view prefix,
                                  std::chrono::milliseconds limit = std::chrono::seconds(10));

    // False once the process has exited (it is reaped then).
    bool running();

    // TERM to the process group and every descendant, up to 2 s of grace, then KILL; reaps all.
    void stop();

    // What the daemon wrote to stdout/stderr and, if set, to its stdin file.
    std::string output() const;

private:
    [[noreturn]] void fail(const std::string& what) const;

    DaemonLaunch launch_;
    pid_t pid_ = -1;
    bool reaped_ = false;
};

} // namespace brisk::test
