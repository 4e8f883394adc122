#include "local/local_paths.h"

#include <filesystem>

namespace brisk {

std::string JoinLocalPath(const std::string& dir, const std::string& name)
{
    if (!dir.empty() && dir.back() == '/')
        return dir + name;
    return dir + "/" + name;
}

std::string ParentLocalDir(const std::string& dir)
{
    const size_t slash = dir.find_last_of('/');
    if (slash == std::string::npos)
        return dir;
    return slash == 0 ? std::string("/") : dir.substr(0, slash);
}

std::string NormalizeLocalDir(const std::string& dir)
{
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(dir.empty() ? "." : dir, error);
    if (error)
        path = std::filesystem::path("/") / dir;
    std::string normal = path.lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/')
        normal.pop_back();
    return normal.empty() ? "/" : normal;
}

std::string FileNamePart(const std::string& name)
{
    const size_t slash = name.find_last_of('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

} // namespace brisk
