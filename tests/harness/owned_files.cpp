#include "owned_files.h"

#include "file_io.h"

#include <pwd.h>
#include <unistd.h>

#include <stdexcept>
#include <vector>

namespace brisk::test {
namespace {

void giveTo(const std::filesystem::path& path, const std::string& user)
{
    const passwd* account = ::getpwnam(user.c_str());
    if (account == nullptr || ::chown(path.c_str(), account->pw_uid, account->pw_gid) != 0)
        throw std::runtime_error("cannot give " + path.string() + " to " + user);
}

} // namespace

void makeDirOwnedBy(const std::filesystem::path& dir, const std::string& user)
{
    std::filesystem::create_directories(dir);
    std::filesystem::permissions(dir, std::filesystem::perms(0755));
    giveTo(dir, user);
}

void writeFileOwnedBy(const std::filesystem::path& root, const std::filesystem::path& relative,
                      std::string_view bytes, const std::string& user)
{
    const auto normal = relative.lexically_normal();
    if (relative.is_absolute() || normal.empty() || *normal.begin() == "..")
        throw std::invalid_argument("not a path below the data dir: " + relative.string());
    const auto target = root / relative;
    std::vector<std::filesystem::path> missing;
    for (auto dir = target.parent_path(); !std::filesystem::exists(dir); dir = dir.parent_path())
        missing.push_back(dir);
    for (auto it = missing.rbegin(); it != missing.rend(); ++it)
        makeDirOwnedBy(*it, user);
    writeFileBytes(target, bytes);
    giveTo(target, user);
}

} // namespace brisk::test
