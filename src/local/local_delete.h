#pragma once
#include "i18n/main_messages.h"

#include <string>
#include <vector>

namespace brisk {

// What a recursive local delete removes: files (and symbolic links, never followed) in the order
// they were found, and directories in breadth-first order, so deeper ones come later.
struct LocalDeleteList {
    std::vector<std::string> files;
    std::vector<std::string> directories;
};

// Walks the directory list breadth-first (the list grows while it is walked), adding every file
// and sub-directory found. Symbolic links are added as files, so nothing outside the trees counts.
void ExpandLocalDeleteList(LocalDeleteList& list);

// "Do you wish to remove 3 file(s) and 2 folder(es)"; without the folder part when there are none.
std::string LocalDeleteQuestion(const LocalDeleteList& list, const MainMessages& messages);

// Deletes the files in order, then removes the directories from the last to the first. Failures
// are skipped silently; a directory that turned into a link meanwhile is not followed.
void DeleteLocalEntries(const LocalDeleteList& list);

} // namespace brisk
