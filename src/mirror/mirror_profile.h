#pragma once
#include "mirror/mirror_task.h"

#include <string>

namespace brisk {

// ProgramDir + "Default.cpf": the task that was last executed.
std::string DefaultMirrorProfilePath();

// Reads section "Mirror" of a profile (".cpf") into the task; a missing key keeps the field's
// value, and "Params" keeps its five low bits. A file that does not exist or cannot be read
// changes nothing and gives false. Either way the task counts as loaded afterwards.
bool LoadMirrorProfile(TRecMirror& task, const std::string& path);

// Writes the seven keys of section "Mirror", creating the file when needed; other sections and keys
// stay as they are. Throws IniWriteError ("Unable to write to <path>") when that fails.
void SaveMirrorProfile(const TRecMirror& task, const std::string& path);

} // namespace brisk
