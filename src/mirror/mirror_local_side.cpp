#include "mirror/mirror_local_side.h"

#include "local/local_entries.h"
#include "local/local_paths.h"

#include <sys/stat.h>

namespace brisk {

namespace {

bool isLink(const std::string& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

} // namespace

std::vector<MirrorLocalItem> ReadMirrorLocal(const std::string& dir)
{
    std::vector<MirrorLocalItem> items;
    for (LocalEntry& entry : ListLocalDirectory(dir)) {
        const bool link = isLink(JoinLocalPath(dir, entry.name));
        items.push_back({std::move(entry.name), entry.isDirectory, link, entry.size, LocalStamp(entry.modified)});
    }
    return items;
}

} // namespace brisk
