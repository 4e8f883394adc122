#include "mirror/mirror_local_side.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace brisk {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

constexpr int kDirFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

} // namespace

// The root is the user's choice and may itself be a link; everything below it is opened with
// O_NOFOLLOW.
MirrorLocalDir::MirrorLocalDir(const std::string& root, const std::string& sub)
{
    fd_ = open(root.c_str(), kDirFlags);
    for (size_t from = 0; fd_ >= 0 && from < sub.size();) {
        const size_t end = std::min(sub.find('/', from), sub.size());
        const std::string part = sub.substr(from, end - from);
        from = end + 1;
        if (part.empty())
            continue;
        int next = -1;
        if (part == "." || part == "..")
            errno = EINVAL;
        else
            next = openat(fd_, part.c_str(), kDirFlags | O_NOFOLLOW);
        const int why = errno;
        close(fd_);
        fd_ = next;
        errno = why;
    }
    if (fd_ < 0)
        error_ = errno;
}

MirrorLocalDir::~MirrorLocalDir()
{
    if (fd_ >= 0)
        close(fd_);
}

bool MirrorLocalDir::fail()
{
    error_ = errno ? errno : EIO;
    return false;
}

std::optional<std::vector<MirrorLocalItem>> MirrorLocalDir::read()
{
    if (fd_ < 0)
        return std::nullopt;
    const int copy = fcntl(fd_, F_DUPFD_CLOEXEC, 0);
    std::unique_ptr<DIR, DirCloser> dir(copy < 0 ? nullptr : fdopendir(copy));
    if (!dir) {
        fail();
        if (copy >= 0)
            close(copy);
        return std::nullopt;
    }
    // The copy shares its position with the handle: every read starts at the first entry.
    rewinddir(dir.get());
    std::vector<MirrorLocalItem> items;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir.get());
        if (!entry)
            break;
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        std::optional<MirrorLocalItem> item = describe(entry->d_name);
        if (item)
            items.push_back(std::move(*item));
        else if (error_)
            return std::nullopt;
    }
    if (errno != 0) {
        fail();
        return std::nullopt;
    }
    return items;
}

// Nothing for an entry gone since it was listed; an entry that cannot be looked at fails the
// directory, since leaving it out would read as its absence.
std::optional<MirrorLocalItem> MirrorLocalDir::describe(const char* name)
{
    struct stat info {};
    if (fstatat(fd_, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT)
            fail();
        return std::nullopt;
    }
    MirrorLocalItem item{name, S_ISDIR(info.st_mode), S_ISLNK(info.st_mode), 0, {}};
    struct stat target {};
    if (item.isLink && fstatat(fd_, name, &target, 0) == 0) {
        info = target;
        item.isDirectory = S_ISDIR(target.st_mode);
    }
    item.size = item.isDirectory ? 0 : int64_t(info.st_size);
    item.modified = LocalStamp(info.st_mtime);
    return item;
}

bool MirrorLocalDir::makeDirectory(const std::string& name)
{
    return fd_ >= 0 && (mkdirat(fd_, name.c_str(), 0777) == 0 || fail());
}

bool MirrorLocalDir::removeFile(const std::string& name)
{
    return fd_ >= 0 && (unlinkat(fd_, name.c_str(), 0) == 0 || fail());
}

} // namespace brisk
