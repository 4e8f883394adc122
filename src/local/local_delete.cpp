#include "local/local_delete.h"

#include "local/local_entries.h"
#include "local/local_paths.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace brisk {

namespace {

// `path` is `dir` or lies below it.
bool within(const std::string& path, const std::string& dir)
{
    return path == dir || (path.size() > dir.size() && path.rfind(dir, 0) == 0 && path[dir.size()] == '/');
}

bool holdsAny(const std::string& dir, const std::vector<std::string>& kept)
{
    return std::any_of(kept.begin(), kept.end(), [&dir](const std::string& k) { return within(k, dir); });
}

// The entry is gone, or was gone already; false only when it is still there.
bool removed(int result)
{
    return result == 0 || errno == ENOENT;
}

} // namespace

void ExpandLocalDeleteList(LocalDeleteList& list, const LocalDeleteExclusion& excluded)
{
    // Indexing, not iterators: the list grows while it is walked.
    for (size_t i = 0; i < list.directories.size(); ++i) {
        const std::string dir = list.directories[i];
        if (!IsRealDirectory(dir))
            continue;
        std::vector<std::string> names;
        if (!ReadLocalNames(dir, names, true)) {
            list.unreadable.push_back(dir);
            list.kept.push_back(dir);
            continue;
        }
        for (const std::string& name : names) {
            const std::string path = JoinLocalPath(dir, name);
            if (excluded && excluded(name))
                list.kept.push_back(dir);
            else if (IsRealDirectory(path))
                list.directories.push_back(path);
            else
                list.files.push_back(path);
        }
    }
}

LocalDeleteOutcome DeleteLocalEntries(const LocalDeleteList& list)
{
    LocalDeleteOutcome outcome;
    outcome.failed = list.unreadable;
    std::vector<std::string> kept = list.kept;
    for (const std::string& file : list.files) {
        const int result = ::unlink(file.c_str());
        if (result == 0)
            ++outcome.deleted;
        if (!removed(result)) {
            outcome.failed.push_back(file);
            kept.push_back(file);
        }
    }
    for (auto dir = list.directories.rbegin(); dir != list.directories.rend(); ++dir) {
        if (holdsAny(*dir, kept))
            continue;
        const int result = ::rmdir(dir->c_str());
        if (result == 0)
            ++outcome.deleted;
        if (!removed(result)) {
            outcome.failed.push_back(*dir);
            kept.push_back(*dir);
        }
    }
    return outcome;
}

} // namespace brisk
