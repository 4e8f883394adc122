#include "local/local_entries.h"

#include "local/local_paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace brisk {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

LocalEntry describe(const std::string& dir, const char* name)
{
    LocalEntry entry;
    entry.name = name;
    const std::string path = JoinLocalPath(dir, entry.name);
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 && lstat(path.c_str(), &info) != 0)
        return entry;
    entry.isDirectory = S_ISDIR(info.st_mode);
    entry.size = entry.isDirectory ? 0 : static_cast<int64_t>(info.st_size);
    entry.modified = info.st_mtime;
    return entry;
}

} // namespace

std::vector<std::string> ListLocalNames(const std::string& dir)
{
    std::vector<std::string> names;
    ReadLocalNames(dir, names);
    return names;
}

bool ReadLocalNames(const std::string& dir, std::vector<std::string>& names, bool noFollow)
{
    names.clear();
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (noFollow ? O_NOFOLLOW : 0));
    if (fd < 0)
        return false;
    std::unique_ptr<DIR, DirCloser> handle(fdopendir(fd));
    if (!handle) {
        ::close(fd);
        return false;
    }
    for (;;) {
        errno = 0;
        const dirent* item = readdir(handle.get());
        if (!item)
            break;
        if (std::strcmp(item->d_name, ".") != 0 && std::strcmp(item->d_name, "..") != 0)
            names.emplace_back(item->d_name);
    }
    if (errno != 0)
        names.clear();
    return errno == 0;
}

std::vector<LocalEntry> ListLocalDirectory(const std::string& dir)
{
    std::vector<LocalEntry> entries;
    for (const std::string& name : ListLocalNames(dir))
        entries.push_back(describe(dir, name.c_str()));
    return entries;
}

bool LocalEntryExists(const std::string& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

bool SameLocalEntry(const std::string& a, const std::string& b)
{
    struct stat first {};
    struct stat second {};
    return lstat(a.c_str(), &first) == 0 && lstat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

bool IsRealDirectory(const std::string& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace brisk
