#pragma once
#include <string>
#include <vector>

namespace brisk {

// The quick-connect bar's recent addresses, most recent first, in the "QuickConnect" section of the
// options file (keys Address1, Address2, ...). A missing file or section gives none.
std::vector<std::string> LoadQuickConnectHistory();
// Writes the addresses, emptying the keys of older, longer lists; other sections are kept.
// Throws IniWriteError when the file cannot be written.
void SaveQuickConnectHistory(const std::vector<std::string>& addresses);

} // namespace brisk
