#include "mirror_options.h"

#include <array>

namespace brisk::cli {

namespace {

// "remote": the remote side is made like the local one; "local": the local side like the remote.
constexpr std::array<const char*, 3> kDirections = {"remote", "local", "both"};
// The policies for a file present on both sides; "Ask" has no one to ask here.
constexpr std::array<const char*, 3> kPolicies = {"overwrite", "newer", "skip"};

template <size_t N>
std::optional<uint8_t> indexOf(const std::array<const char*, N>& names, const std::string& word)
{
    for (size_t i = 0; i < N; ++i)
        if (word == names[i])
            return uint8_t(i);
    return std::nullopt;
}

bool takesValue(const std::string& flag)
{
    return flag == "--profile" || flag == "--direction" || flag == "--if-exists" || flag == "--exclude";
}

std::string readValue(const std::string& flag, const std::string& value, MirrorArgs& parsed)
{
    if (flag == "--profile")
        parsed.profile = value;
    else if (flag == "--exclude")
        parsed.exclusions.push_back(value);
    else if (flag == "--direction" && !(parsed.direction = indexOf(kDirections, value)))
        return "--direction must be local, remote or both: " + value;
    else if (flag == "--if-exists" && !(parsed.fileExists = indexOf(kPolicies, value)))
        return "--if-exists must be overwrite, newer or skip: " + value;
    return "";
}

std::string readFlag(const std::string& flag, MirrorArgs& parsed)
{
    if (flag == "--delete")
        parsed.deleteMissing = true;
    else if (flag == "--subdirs")
        parsed.subdirs = true;
    else if (flag == "--dry-run")
        parsed.dryRun = true;
    else if (flag == "--direct-upload")
        parsed.directUpload = true;
    else
        return "unknown option for mirror: " + flag;
    return "";
}

} // namespace

std::string ParseMirrorArgs(const std::vector<std::string>& args, MirrorArgs& parsed)
{
    std::vector<std::string> dirs;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string error;
        if (!arg.starts_with("--"))
            dirs.push_back(arg);
        else if (!takesValue(arg))
            error = readFlag(arg, parsed);
        else if (i + 1 == args.size())
            error = "missing value for " + arg;
        else
            error = readValue(arg, args[++i], parsed);
        if (!error.empty())
            return error;
    }
    if (dirs.size() != 2)
        return "mirror needs a local and a remote directory";
    parsed.localDir = dirs[0];
    parsed.remoteDir = dirs[1];
    return "";
}

void ApplyMirrorArgs(const MirrorArgs& args, TRecMirror& task)
{
    task.Local = args.localDir;
    task.Remote = args.remoteDir;
    task.Direction = args.direction.value_or(task.Direction);
    if (args.fileExists)
        task.FileExists = MirrorFileExists(*args.fileExists);
    if (args.deleteMissing)
        task.Params |= mpDeleteMissing;
    if (args.subdirs)
        task.Params |= mpIncludeSubfolders;
    if (args.directUpload)
        task.TempUpload = false;
    for (const std::string& mask : args.exclusions)
        if (!mask.empty())
            task.Exclusions += (task.Exclusions.empty() ? "" : "|") + mask;
}

} // namespace brisk::cli
