#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace brisk {

// A local file opened for one transfer. Writes are buffered; a failed write or flush is reported, never
// ignored, so a transfer cannot end as a success with a short file.
class LocalFile {
public:
    enum class Mode { CreateTruncate, WriteAt, ReadFrom };

    ~LocalFile();
    LocalFile(const LocalFile&) = delete;
    LocalFile& operator=(const LocalFile&) = delete;

    // nullptr when the file cannot be opened (or positioned), and for writing when `path` is a symbolic
    // link. WriteAt cuts the file at the offset first, so that a resumed download never keeps stale
    // bytes behind the new ones.
    static std::unique_ptr<LocalFile> Open(const std::string& path, Mode mode, int64_t offset = 0);

    // Bytes read, 0 at the end, -1 on failure. Small reads are served from a read-ahead piece; a large
    // one goes straight into the caller's buffer.
    int Read(void* buffer, int len);
    // Small writes are gathered; a large one goes straight to the file.
    bool Write(const void* data, int len);
    bool Close();

private:
    explicit LocalFile(int fd) : fd_(fd) {}
    bool Flush();
    bool WriteAll(const char* data, size_t len);

    int fd_ = -1;
    std::vector<char> pending_;   // written, not yet flushed
    std::vector<char> readAhead_; // read from the file, not yet handed out
    size_t readPos_ = 0;
    bool failed_ = false;
};

// Size of a file in bytes, -1 when it does not exist (or is not a regular file).
int64_t LocalFileSize(const std::string& path);

// Whether a file could be written at path without touching it now: an existing file (not a directory) that is
// writable, or a missing one in a writable directory.
bool LocalFileWritable(const std::string& path);

} // namespace brisk
