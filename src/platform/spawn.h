#pragma once
#include <string>

namespace brisk {

// The path of the running program's executable.
std::string OwnExecutablePath();
// Starts program without arguments as an independent process (not waited for, never a zombie of ours).
bool SpawnDetached(const std::string& program);

} // namespace brisk
