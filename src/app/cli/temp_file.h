#pragma once
#include <string>

namespace brisk::cli {

// A private temporary file of the tool, in a directory of its own (mode 0700) that nobody else can
// put a name into. Both are removed when the object goes, and also when SIGINT or SIGTERM ends the
// program first (see installTempFileSignalHandlers).
class TempFile {
public:
    // Creates an empty file named after `stem` in the temporary directory; path() is empty on failure.
    explicit TempFile(const std::string& stem);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string dir_;
    std::string path_;
    int slot_ = -1;
};

// SIGINT and SIGTERM remove the temporary files that exist and end the program with 128 + the signal.
void installTempFileSignalHandlers();

} // namespace brisk::cli
