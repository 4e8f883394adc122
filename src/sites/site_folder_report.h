#pragma once
#include <ostream>
#include <string>

namespace brisk {

// Writes one line per entry of a site folder of ProgramDir, folders first, then sites:
// "folder<TAB>NAME" or "site<TAB>NAME<TAB>server=..<TAB>port=..<TAB>user=..<TAB>password=saved|none
// <TAB>type=..". False with a message when the folder does not exist.
bool ReportSiteFolder(const std::string& folder, std::ostream& out, std::string& error);

} // namespace brisk
