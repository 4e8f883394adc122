#include "local/line_ending_file.h"

#include "local/replacement_file.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <new>
#include <unistd.h>

namespace brisk {

namespace {

struct FdCloser {
    int fd = -1;
    ~FdCloser()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// The file a path leads to through any symbolic links; empty when it does not exist.
std::string resolvedPath(const std::string& path)
{
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : std::string();
}

// Up to `count` bytes, fewer only at the end of the file; -1 on a read error.
ssize_t readUpTo(int fd, char* data, size_t count)
{
    size_t done = 0;
    while (done < count) {
        const ssize_t got = ::read(fd, data + done, count - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += size_t(got);
    }
    return ssize_t(done);
}

ConvertOutcome replaceWith(const std::string& file, const struct stat& info, std::string_view content)
{
    ReplacementFile replacement;
    const bool done = replacement.open(file, info) && replacement.write(content) && replacement.commit();
    return done ? ConvertOutcome::Ok : ConvertOutcome::WriteError;
}

ConvertOutcome convertInMemory(int fd, const std::string& file, const struct stat& info, LineEnding target)
{
    // One byte more than the size said: a file that grew meanwhile is not cut short.
    std::string content(size_t(info.st_size) + 1, '\0');
    if (readUpTo(fd, content.data(), content.size()) != info.st_size)
        return ConvertOutcome::ReadError;
    content.pop_back();
    LineEndingConverter converter(target);
    std::string converted;
    converted.reserve(content.size());
    converter.convert(content, converted);
    converter.finish(converted);
    if (!converter.changed())
        return ConvertOutcome::Ok;
    content = {};
    return replaceWith(file, info, converted);
}

// The new content goes straight to the replacement; it takes the file's place once all was read.
ConvertOutcome convertInBlocks(int fd, const std::string& file, const struct stat& info, LineEnding target,
                               size_t blockSize)
{
    ReplacementFile replacement;
    if (!replacement.open(file, info))
        return ConvertOutcome::WriteError;
    LineEndingConverter converter(target);
    std::string block(blockSize, '\0');
    std::string converted;
    int64_t total = 0;
    for (;;) {
        const ssize_t got = readUpTo(fd, block.data(), block.size());
        if (got < 0)
            return ConvertOutcome::ReadError;
        if (got == 0)
            break;
        total += got;
        converted.clear();
        converter.convert(std::string_view(block.data(), size_t(got)), converted);
        if (!replacement.write(converted))
            return ConvertOutcome::WriteError;
    }
    if (total != int64_t(info.st_size))
        return ConvertOutcome::ReadError;
    converted.clear();
    converter.finish(converted);
    if (!converter.changed())
        return ConvertOutcome::Ok;
    return replacement.write(converted) && replacement.commit() ? ConvertOutcome::Ok : ConvertOutcome::WriteError;
}

} // namespace

ConvertOutcome ConvertFileLineEnds(const std::string& path, LineEnding target, uint64_t memoryBudget)
{
    const std::string file = resolvedPath(path);
    if (file.empty())
        return ConvertOutcome::Missing;
    // Not blocking: a FIFO must not hold the program up before it is turned down below.
    FdCloser open{::open(file.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC)};
    struct stat info {};
    if (open.fd < 0 || ::fstat(open.fd, &info) != 0 || !S_ISREG(info.st_mode))
        return ConvertOutcome::OpenError;
    if (info.st_size == 0)
        return ConvertOutcome::Empty;
    const uint64_t blockSize = memoryBudget == 0 ? 1 : memoryBudget;
    try {
        if (uint64_t(info.st_size) <= blockSize)
            return convertInMemory(open.fd, file, info, target);
        return convertInBlocks(open.fd, file, info, target, size_t(blockSize));
    } catch (const std::bad_alloc&) {
        return ConvertOutcome::ReadError;
    }
}

} // namespace brisk
