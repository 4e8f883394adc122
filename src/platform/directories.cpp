#include "platform/directories.h"

#include "platform/ascii.h"

#include <cerrno>
#include <climits>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace brisk {

bool directoryExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool fileExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool makeDirectories(const std::string& path, mode_t mode)
{
    if (path.empty())
        return false;
    for (size_t pos = path.find('/', 1); ; pos = path.find('/', pos + 1)) {
        const std::string part = path.substr(0, pos);
        if (::mkdir(part.c_str(), mode) != 0 && errno != EEXIST)
            return false;
        if (pos == std::string::npos)
            break;
    }
    return directoryExists(path);
}

std::string findEntryNoCase(const std::string& dir, const std::string& name)
{
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d)
        return {};
    std::vector<std::string> matches;
    while (const dirent* e = ::readdir(d)) {
        const std::string entry = e->d_name;
        if (entry == name) {
            matches.assign(1, entry);
            break;
        }
        if (equalsNoCase(entry, name))
            matches.push_back(entry);
    }
    ::closedir(d);
    if (matches.empty())
        return {};
    // Several spellings: pick one that does not depend on directory order.
    return *std::min_element(matches.begin(), matches.end());
}

std::string resolvePathNoCase(const std::string& dir, const std::string& relative)
{
    std::string path = dir;
    size_t start = 0;
    while (start < relative.size()) {
        size_t end = relative.find('/', start);
        if (end == std::string::npos)
            end = relative.size();
        const std::string part = relative.substr(start, end - start);
        if (!part.empty()) {
            const std::string found = findEntryNoCase(path, part);
            path += found.empty() ? part : found;
        }
        if (end < relative.size())
            path += '/';
        start = end + 1;
    }
    return path;
}

std::string currentDirectory()
{
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string("/");
}

} // namespace brisk
