#pragma once
#include <string>
#include <string_view>

#include <sys/stat.h>

namespace brisk {

// A new content for an existing file, written to a temporary file in the same directory and put in
// the file's place by a rename only when commit() succeeds; otherwise the temporary file goes away
// with this object and the file is untouched.
class ReplacementFile {
public:
    // Creates the temporary file beside `target` with the permission bits (and, for root, the
    // owner) of `original`; false when that fails.
    bool open(const std::string& target, const struct stat& original);
    bool write(std::string_view bytes);
    // Flushes the content to the disk and renames it over the target.
    bool commit();
    ~ReplacementFile();

private:
    int fd_ = -1;
    std::string path_;
    std::string target_;
};

} // namespace brisk
