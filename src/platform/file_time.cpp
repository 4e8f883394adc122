#include "platform/file_time.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace brisk {

bool SetLocalModified(const std::string& path, int64_t seconds)
{
    if (seconds <= 0)
        return false;
    const struct timespec times[2] = {{0, UTIME_OMIT}, {time_t(seconds), 0}};
    return utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

} // namespace brisk
