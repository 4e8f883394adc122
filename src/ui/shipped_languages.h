#pragma once
#include <string>

namespace brisk {

// The translations that come with the program are built into it; each goes into the program
// directory when that has no file of its language yet (in any case), so a user's edits stay.
void InstallShippedLanguages(const std::string& programDir);

} // namespace brisk
