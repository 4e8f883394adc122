#pragma once
#include <string>

namespace brisk {

// Asks the desktop to open a local file with the program associated with its type; false when the
// desktop reports that it could not.
bool OpenWithDesktop(const std::string& path);

} // namespace brisk
