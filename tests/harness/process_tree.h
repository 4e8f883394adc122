#pragma once

#include <sys/types.h>

#include <vector>

namespace brisk::test {

// Every live descendant of `pid` (children, grandchildren, ...), found through the parent ids in
// /proc/*/stat. Unlike the process group this also finds processes that called setsid().
std::vector<pid_t> descendantsOf(pid_t pid);

// True while the process exists and is not a zombie.
bool processAlive(pid_t pid);

} // namespace brisk::test
