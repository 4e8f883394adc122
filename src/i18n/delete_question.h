#pragma once
#include "i18n/main_messages.h"

#include <string>
#include <vector>

namespace brisk {

struct DeleteItem {
    std::string name;
    bool directory = false;
};

// The question before a delete, in the main window's language: up to five items by name (a
// directory's with a "/"), 'Do you wish to remove "t/", "a.txt" and "b.txt"?', more by their
// count, 'Do you wish to remove 5 files and 1 folder?'. Control characters in a name show as "?".
std::string DeleteQuestion(const std::vector<DeleteItem>& items, const MainMessages& msl);

} // namespace brisk
