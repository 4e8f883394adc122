#pragma once
#include "i18n/main_messages.h"
#include "local/local_delete.h"
#include "mirror/mirror_task.h"
#include "session/user_interface.h"

#include <string>

namespace brisk {

// Whether a mirror run may delete `path`: always, unless the task says "Always prompt before
// deleting"; then only when the user answers Yes.
bool ConfirmMirrorDelete(const TRecMirror& task, const std::string& path, bool isDirectory, UserInterface& ui,
                         const MainMessages& messages);

// Removes a local directory with all its content, deepest first, except what the task's exclusions
// leave alone (and every directory above it). Symbolic links, the root one included, are removed
// themselves and never followed. What could not be removed is in the outcome.
LocalDeleteOutcome DeleteLocalTree(const std::string& root, const TRecMirror& task);

} // namespace brisk
