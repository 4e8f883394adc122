#include "platform/local_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>

namespace brisk {

namespace {
constexpr size_t kWriteBuffer = 64 * 1024;
constexpr size_t kDirectWrite = 16 * 1024; // from here on a copy into the buffer costs more than a call
constexpr size_t kReadAhead = 64 * 1024;
} // namespace

LocalFile::~LocalFile()
{
    Close();
}

std::unique_ptr<LocalFile> LocalFile::Open(const std::string& path, Mode mode, int64_t offset)
{
    int flags = O_CLOEXEC;
    // A file written is never reached through a symbolic link: the link could lead anywhere outside
    // the directory the user chose, and checking before opening would leave a gap for a swap.
    switch (mode) {
    case Mode::CreateTruncate: flags |= O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW; break;
    case Mode::WriteAt: flags |= O_WRONLY | O_NOFOLLOW; break;
    case Mode::ReadFrom: flags |= O_RDONLY; break;
    }
    const int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0)
        return nullptr;
    std::unique_ptr<LocalFile> file(new LocalFile(fd));
    struct stat st{};
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode))
        return nullptr;
    if (mode == Mode::WriteAt && ftruncate(fd, offset) != 0)
        return nullptr;
    if (offset > 0 && lseek(fd, offset, SEEK_SET) != offset)
        return nullptr;
    return file;
}

int LocalFile::Read(void* buffer, int len)
{
    if (readPos_ == readAhead_.size() && size_t(len) >= kReadAhead) {
        ssize_t n;
        while ((n = ::read(fd_, buffer, size_t(len))) < 0 && errno == EINTR) {
        }
        return n < 0 ? -1 : int(n);
    }
    if (readPos_ == readAhead_.size()) {
        readAhead_.resize(kReadAhead);
        readPos_ = 0;
        ssize_t n;
        while ((n = ::read(fd_, readAhead_.data(), readAhead_.size())) < 0 && errno == EINTR) {
        }
        readAhead_.resize(n > 0 ? size_t(n) : 0);
        if (n < 0)
            return -1;
    }
    const size_t count = std::min(size_t(len), readAhead_.size() - readPos_);
    std::memcpy(buffer, readAhead_.data() + readPos_, count);
    readPos_ += count;
    return int(count);
}

bool LocalFile::Write(const void* data, int len)
{
    if (failed_)
        return false;
    const char* bytes = static_cast<const char*>(data);
    if (size_t(len) >= kDirectWrite)
        return Flush() && WriteAll(bytes, size_t(len));
    pending_.insert(pending_.end(), bytes, bytes + len);
    return pending_.size() < kWriteBuffer || Flush();
}

bool LocalFile::Flush()
{
    const bool ok = WriteAll(pending_.data(), pending_.size());
    pending_.clear();
    return ok;
}

bool LocalFile::WriteAll(const char* data, size_t len)
{
    size_t done = 0;
    while (done < len) {
        const ssize_t n = ::write(fd_, data + done, len - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            failed_ = true;
            return false;
        }
        done += size_t(n);
    }
    return true;
}

bool LocalFile::Close()
{
    if (fd_ < 0)
        return !failed_;
    const bool flushed = Flush();
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    return flushed && closed && !failed_;
}

bool LocalFileWritable(const std::string& path)
{
    struct stat st{};
    if (::stat(path.c_str(), &st) == 0)
        return !S_ISDIR(st.st_mode) && ::access(path.c_str(), W_OK) == 0;
    const size_t slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && ::access(dir.c_str(), W_OK | X_OK) == 0;
}

int64_t LocalFileSize(const std::string& path)
{
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return int64_t(st.st_size);
}

} // namespace brisk
