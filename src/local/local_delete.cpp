#include "local/local_delete.h"

#include "local/local_entries.h"
#include "local/local_paths.h"

#include <unistd.h>

namespace brisk {

void ExpandLocalDeleteList(LocalDeleteList& list)
{
    // Indexing, not iterators: the list grows while it is walked.
    for (size_t i = 0; i < list.directories.size(); ++i) {
        const std::string dir = list.directories[i];
        if (!IsRealDirectory(dir))
            continue;
        for (const LocalEntry& entry : ListLocalDirectory(dir)) {
            const std::string path = JoinLocalPath(dir, entry.name);
            if (IsRealDirectory(path))
                list.directories.push_back(path);
            else
                list.files.push_back(path);
        }
    }
}

std::string LocalDeleteQuestion(const LocalDeleteList& list, const MainMessages& messages)
{
    std::string text = messages[msgWishToRemove] + " " + std::to_string(list.files.size()) + " " +
                       messages[msgFiles];
    if (!list.directories.empty())
        text += " " + messages[msgAnd] + " " + std::to_string(list.directories.size()) + " " +
                messages[msgFolders];
    return text;
}

void DeleteLocalEntries(const LocalDeleteList& list)
{
    for (const std::string& file : list.files)
        ::unlink(file.c_str());
    for (auto dir = list.directories.rbegin(); dir != list.directories.rend(); ++dir)
        ::rmdir(dir->c_str());
}

} // namespace brisk
