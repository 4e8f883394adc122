#pragma once
#include <functional>
#include <string>
#include <vector>

namespace brisk {

// What a recursive local delete removes: files (and symbolic links, never followed) in the order
// they were found, and directories in breadth-first order, so deeper ones come later. `kept` are
// directories that stay with everything above them: they hold an excluded entry, or could not be
// read (those are in `unreadable` too).
struct LocalDeleteList {
    std::vector<std::string> files;
    std::vector<std::string> directories;
    std::vector<std::string> kept;
    std::vector<std::string> unreadable;
};

// Whether an entry found inside a directory stays, by its name (the mirror's exclusion masks).
using LocalDeleteExclusion = std::function<bool(const std::string& name)>;

// Walks the directory list breadth-first (the list grows while it is walked), adding every file
// and sub-directory found that is not excluded. Symbolic links are added as files, so nothing
// outside the trees counts. A directory that cannot be read is never taken for an empty one.
void ExpandLocalDeleteList(LocalDeleteList& list, const LocalDeleteExclusion& excluded = {});

// What a delete did: entries removed, and the paths that could not be (an unreadable directory
// among them). Entries already gone count as neither.
struct LocalDeleteOutcome {
    int deleted = 0;
    std::vector<std::string> failed;
};

// Deletes the files in order, then removes the directories from the last to the first, leaving
// the kept ones and every directory above a failure (its removal could only fail). A directory that
// turned into a link meanwhile is not followed.
LocalDeleteOutcome DeleteLocalEntries(const LocalDeleteList& list);

} // namespace brisk
