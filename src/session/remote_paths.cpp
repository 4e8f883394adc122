#include "session/remote_paths.h"

namespace brisk {

namespace {

std::string withoutTrailingSlash(const std::string& path)
{
    if (!path.empty() && path.back() == '/')
        return path.substr(0, path.size() - 1);
    return path;
}

} // namespace

std::string ParentDir(const std::string& path)
{
    const std::string p = withoutTrailingSlash(path);
    const size_t slash = p.rfind('/');
    if (slash == std::string::npos || slash == 0)
        return "";
    return p.substr(0, slash);
}

std::string LastComponent(const std::string& path)
{
    const std::string p = withoutTrailingSlash(path);
    const size_t slash = p.rfind('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::string WithSlash(const std::string& path)
{
    if (!path.empty() && path.back() == '/')
        return path;
    return path + "/";
}

std::string UpDir(const std::string& path)
{
    const std::string parent = ParentDir(path);
    return parent.empty() ? "/" : parent;
}

std::string RemoteDirRule(const std::string& path, bool checkVHost)
{
    std::string dir = WithSlash(path);
    if (checkVHost && dir.front() == '/')
        dir.erase(0, 1);
    return dir;
}

} // namespace brisk
