#include "process_tree.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
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
std::optional<StatFields> readStat(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
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
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        const std::string name = entry.path().filename().string();
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
