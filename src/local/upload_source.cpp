#include "local/upload_source.h"

#include "local/local_entries.h"
#include "local/local_paths.h"

#include <sys/stat.h>

#include <algorithm>

namespace brisk {

namespace {

UploadKind kindOf(const struct stat& info)
{
    if (S_ISREG(info.st_mode))
        return UploadKind::File;
    if (S_ISDIR(info.st_mode))
        return UploadKind::Directory;
    return UploadKind::Special;
}

} // namespace

UploadSource ClassifyUploadSource(const std::string& dir, const std::string& name)
{
    UploadSource source;
    source.name = name;
    const std::string path = JoinLocalPath(dir, name);
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0)
        return source;
    if (S_ISLNK(info.st_mode)) {
        struct stat target {};
        if (stat(path.c_str(), &target) != 0)
            return source;
        source.kind = S_ISDIR(target.st_mode) ? UploadKind::DirectoryLink : kindOf(target);
        info = target;
    } else {
        source.kind = kindOf(info);
    }
    source.size = source.kind == UploadKind::File ? int64_t(info.st_size) : 0;
    source.modified = info.st_mtime;
    return source;
}

bool ReadUploadSources(const std::string& dir, std::vector<UploadSource>& sources)
{
    sources.clear();
    std::vector<std::string> names;
    if (!ReadLocalNames(dir, names, true))
        return false;
    for (const std::string& name : names)
        sources.push_back(ClassifyUploadSource(dir, name));
    std::sort(sources.begin(), sources.end(),
              [](const UploadSource& a, const UploadSource& b) { return a.name < b.name; });
    return true;
}

} // namespace brisk
