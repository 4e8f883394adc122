#include "platform/spawn.h"

#include <climits>
#include <sys/wait.h>
#include <unistd.h>

namespace brisk {

std::string OwnExecutablePath()
{
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, size_t(n)) : std::string();
}

bool SpawnDetached(const std::string& program)
{
    if (program.empty())
        return false;
    // Fork twice so that the new program is adopted by init and never waits on us.
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        setsid();
        if (fork() == 0) {
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace brisk
