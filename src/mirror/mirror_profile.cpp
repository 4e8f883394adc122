#include "mirror/mirror_profile.h"

#include "mirror/exclusion_list.h"
#include "platform/directories.h"
#include "platform/ini_file.h"
#include "platform/program_dir.h"

#include <unistd.h>

namespace brisk {
namespace {

constexpr const char* kSection = "Mirror";

bool readable(const std::string& path)
{
    return fileExists(path) && ::access(path.c_str(), R_OK) == 0;
}

} // namespace

std::string DefaultMirrorProfilePath()
{
    return ProgramDir() + "Default.cpf";
}

bool LoadMirrorProfile(TRecMirror& task, const std::string& path)
{
    task.Loaded = true;
    if (!readable(path))
        return false;
    const IniFile ini(path);
    task.Local = ini.readString(kSection, "Local", task.Local);
    task.Remote = ini.readString(kSection, "Remote", task.Remote);
    task.Exclusions = ini.readString(kSection, "Exclusions", task.Exclusions);
    task.Direction = uint8_t(ini.readInteger(kSection, "Direction", task.Direction));
    // A number no choice has keeps the task's own.
    const int fileExists = ini.readInteger(kSection, "File Exists", int(task.FileExists));
    if (fileExists >= 0 && fileExists < kMirrorFileExistsCount)
        task.FileExists = MirrorFileExists(fileExists);
    task.Params = uint8_t(ini.readInteger(kSection, "Params", task.Params) & kMirrorParamMask);
    task.TempUpload = ini.readInteger(kSection, "Temp Upload", task.TempUpload) != 0;
    return true;
}

void SaveMirrorProfile(const TRecMirror& task, const std::string& path)
{
    IniFile ini(path);
    ini.writeString(kSection, "Local", task.Local);
    ini.writeString(kSection, "Remote", task.Remote);
    ini.writeString(kSection, "Exclusions", JoinExclusions(SplitExclusions(task.Exclusions)));
    ini.writeInteger(kSection, "Direction", task.Direction);
    ini.writeInteger(kSection, "File Exists", int(task.FileExists));
    ini.writeInteger(kSection, "Params", task.Params & kMirrorParamMask);
    ini.writeInteger(kSection, "Temp Upload", task.TempUpload ? 1 : 0);
    ini.save();
}

} // namespace brisk
