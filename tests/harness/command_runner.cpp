#include "command_runner.h"

#include "unique_fd.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace brisk::test {
namespace {

struct Pipe {
    UniqueFd read, write;
};

Pipe makePipe()
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed: " + std::string(std::strerror(errno)));
    return {UniqueFd(fds[0]), UniqueFd(fds[1])};
}

pid_t spawnWithPipes(const std::vector<std::string>& argv, Pipe& in, Pipe& out, Pipe& err)
{
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_adddup2(&files, in.read.get(), 0);
    posix_spawn_file_actions_adddup2(&files, out.write.get(), 1);
    posix_spawn_file_actions_adddup2(&files, err.write.get(), 2);
    pid_t pid = -1;
    const int rc = ::posix_spawnp(&pid, args[0], &files, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (rc != 0)
        throw std::runtime_error("cannot run " + argv[0] + ": " + std::strerror(rc));
    return pid;
}

void drain(short revents, UniqueFd& fd, std::string& target)
{
    if (revents == 0)
        return;
    char buf[4096];
    const ssize_t n = ::read(fd.get(), buf, sizeof buf);
    if (n > 0)
        target.append(buf, static_cast<size_t>(n));
    else if (n == 0 || errno != EINTR)
        fd.reset();
}

// Feeds stdin and drains both outputs until the command closes them or the deadline passes.
bool pump(const std::string& input, Pipe& in, Pipe& out, Pipe& err, CommandResult& result,
          std::chrono::steady_clock::time_point deadline)
{
    size_t written = 0;
    if (input.empty())
        in.write.reset();
    while (out.read.valid() || err.read.valid()) {
        pollfd fds[3] = {{out.read.get(), POLLIN, 0}, {err.read.get(), POLLIN, 0},
                         {in.write.get(), POLLOUT, 0}};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        if (::poll(fds, 3, static_cast<int>(left.count())) < 0 && errno != EINTR)
            return false;
        if (fds[2].revents != 0) {
            const ssize_t n = ::write(in.write.get(), input.data() + written, input.size() - written);
            written += n > 0 ? static_cast<size_t>(n) : 0;
            if (n < 0 || written == input.size())
                in.write.reset();
        }
        drain(fds[0].revents, out.read, result.out);
        drain(fds[1].revents, err.read, result.err);
    }
    return true;
}

} // namespace

CommandResult runCommand(const std::vector<std::string>& argv, const std::string& input,
                         std::chrono::milliseconds limit)
{
    if (argv.empty())
        throw std::invalid_argument("runCommand: empty argv");
    Pipe in = makePipe(), out = makePipe(), err = makePipe();
    const pid_t pid = spawnWithPipes(argv, in, out, err);
    in.read.reset();
    out.write.reset();
    err.write.reset();

    CommandResult result;
    ::signal(SIGPIPE, SIG_IGN); // a command that exits without reading its input must not kill the test
    result.timedOut = !pump(input, in, out, err, result, std::chrono::steady_clock::now() + limit);
    if (result.timedOut)
        ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

CommandResult runCli(const std::vector<std::string>& args, const std::string& input,
                     std::chrono::milliseconds limit)
{
    std::vector<std::string> argv{BRISKLANE_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    return runCommand(argv, input, limit);
}

} // namespace brisk::test
