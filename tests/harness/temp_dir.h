#pragma once

#include <sys/types.h>

#include <filesystem>

namespace brisk::test {

// A fresh directory under the system temp dir (like `mktemp -d`), removed with everything in it
// when the object is destroyed. Pass 0755 for directories that FTP users must enter.
class TempDir {
public:
    explicit TempDir(mode_t mode = 0700);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace brisk::test
