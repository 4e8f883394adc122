#include "temp_dir.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <system_error>

namespace brisk::test {

TempDir::TempDir(mode_t mode)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "brisk-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed: " + std::string(std::strerror(errno)));
    path_ = pattern;
    if (::chmod(path_.c_str(), mode) != 0)
        throw std::runtime_error("chmod " + pattern + " failed: " + std::strerror(errno));
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace brisk::test
