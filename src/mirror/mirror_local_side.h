#pragma once
#include "mirror/mirror_plan_input.h"

#include <string>
#include <vector>

namespace brisk {

// The entries of local directory `dir` as the planner takes them, in the file system's order. A
// symbolic link shows what it points to and is marked as a link; an unreadable directory has none.
std::vector<MirrorLocalItem> ReadMirrorLocal(const std::string& dir);

} // namespace brisk
