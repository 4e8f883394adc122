#include "sites/site_folder_files.h"

#include "platform/directories.h"
#include "platform/program_dir.h"
#include "platform/text_file.h"

namespace brisk {
namespace {

const char* const kListFileName = "ftplist.TXT";

} // namespace

bool IsSafeFolderName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." &&
           name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

bool IsSafeFolderPath(const std::string& folder)
{
    if (folder.empty())
        return true;
    if (folder.back() != '/')
        return false;
    size_t start = 0;
    while (start < folder.size()) {
        const size_t end = folder.find('/', start);
        if (!IsSafeFolderName(folder.substr(start, end - start)))
            return false;
        start = end + 1;
    }
    return true;
}

std::string SiteFolderDir(const std::string& folder)
{
    std::string dir = resolvePathNoCase(ProgramDir(), folder);
    if (dir.back() != '/')
        dir += '/';
    return dir;
}

std::string ListFileIn(const std::string& dir)
{
    const std::string found = findEntryNoCase(dir, kListFileName);
    return dir + (found.empty() ? std::string(kListFileName) : found);
}

bool ReadSiteFolderLines(const std::string& folder, std::vector<std::string>& lines)
{
    const std::string file = ListFileIn(SiteFolderDir(folder));
    return fileExists(file) && readTextLines(file, lines);
}

bool WriteListFileIn(const std::string& dir, const std::vector<std::string>& lines)
{
    return writePrivateFile(ListFileIn(dir), joinLines(lines));
}

} // namespace brisk
