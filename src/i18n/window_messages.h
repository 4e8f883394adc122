#pragma once
#include <string>
#include <vector>

namespace brisk {

// The message lists of the smaller windows, in the order their code reads them.
// Progress window: "Sending", "Receiving", "bytes", "K/sec".
const std::vector<std::string>& ProgressMessagesEnglish();
// Overwrite prompt: "File already exists !", "Save as ...", "New Path".
const std::vector<std::string>& OverwriteMessagesEnglish();
// Mirror dialog: "Exclusion", "Enter new item", "Edit item".
const std::vector<std::string>& MirrorMessagesEnglish();
// Preferences dialog: "Add", "Edit", "Enter", "Command", "extention", "Choice Directory".
const std::vector<std::string>& OptionsMessagesEnglish();

} // namespace brisk
