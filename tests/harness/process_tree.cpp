#include "process_tree.h"

#include "unique_fd.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>

namespace brisk::test {
namespace {

struct StatFields {
    char state = '?';
    pid_t parent = 0;
};

// The command name in /proc/PID/stat is in parentheses and may itself contain ") ", so the fields
// are read after the last ')'.
// Plain read(2): a process may vanish while its file is read, and that must not throw.
std::optional<StatFields> readStat(pid_t pid)
{
    UniqueFd fd(::open(("/proc/" + std::to_string(pid) + "/stat").c_str(), O_RDONLY | O_CLOEXEC));
    char buf[1024];
    const ssize_t n = fd.valid() ? ::read(fd.get(), buf, sizeof buf - 1) : -1;
    if (n <= 0)
        return std::nullopt;
    const std::string text(buf, static_cast<size_t>(n));
    const auto close = text.rfind(')');
    if (close == std::string::npos)
        return std::nullopt;
    std::istringstream rest(text.substr(close + 1));
    StatFields fields;
    rest >> fields.state >> fields.parent;
    if (!rest)
        return std::nullopt;
    return fields;
}

std::multimap<pid_t, pid_t> childrenByParent()
{
    std::multimap<pid_t, pid_t> children;
    std::error_code ec;
    for (std::filesystem::directory_iterator it("/proc", ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const pid_t pid = static_cast<pid_t>(std::atoi(name.c_str()));
        if (const auto stat = readStat(pid); stat && stat->state != 'Z')
            children.emplace(stat->parent, pid);
    }
    return children;
}

void collect(const std::multimap<pid_t, pid_t>& children, pid_t pid, std::vector<pid_t>& out)
{
    const auto [first, last] = children.equal_range(pid);
    for (auto it = first; it != last; ++it) {
        out.push_back(it->second);
        collect(children, it->second, out);
    }
}

} // namespace

std::vector<pid_t> descendantsOf(pid_t pid)
{
    std::vector<pid_t> out;
    collect(childrenByParent(), pid, out);
    return out;
}

bool processAlive(pid_t pid)
{
    const auto stat = readStat(pid);
    return stat && stat->state != 'Z';
}

} // namespace brisk::test
