#include "local/replacement_file.h"

#include "local/local_paths.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace brisk {

namespace {

// Only root may hand a file to another owner; anyone else's converted file is theirs, as with any
// editor that saves a new copy.
bool keepOwner(int fd, const struct stat& original)
{
    return ::geteuid() != 0 || ::fchown(fd, original.st_uid, original.st_gid) == 0;
}

} // namespace

bool ReplacementFile::open(const std::string& target, const struct stat& original)
{
    const size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    std::string pattern = JoinLocalPath(dir, ".brisklane-convert-XXXXXX");
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0)
        return false;
    path_ = pattern;
    target_ = target;
    // After the owner: a change of owner clears the set-user-ID and set-group-ID bits.
    return keepOwner(fd_, original) && ::fchmod(fd_, original.st_mode & 07777) == 0;
}

bool ReplacementFile::write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(size_t(written));
    }
    return true;
}

bool ReplacementFile::commit()
{
    const bool flushed = ::fsync(fd_) == 0;
    const bool closed = ::close(std::exchange(fd_, -1)) == 0;
    if (!flushed || !closed || std::rename(path_.c_str(), target_.c_str()) != 0)
        return false;
    path_.clear();
    return true;
}

ReplacementFile::~ReplacementFile()
{
    if (fd_ >= 0)
        ::close(std::exchange(fd_, -1));
    if (!path_.empty())
        ::unlink(path_.c_str());
}

} // namespace brisk
