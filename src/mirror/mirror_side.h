#pragma once
#include "mirror/mirror_plan_input.h"
#include "mirror/mirror_task.h"

#include <string>
#include <vector>

namespace brisk {

// A file of one side as the planner compares it.
struct MirrorFile {
    std::string name;
    int64_t size = 0;
    MirrorStamp stamp;
};

// What one side of a directory offers the planner once the task's filters are applied: its files,
// and its subdirectories when the task includes subfolders.
struct MirrorSide {
    std::vector<MirrorFile> files;
    std::vector<std::string> dirs;
};

MirrorSide LocalSide(const TRecMirror& task, const std::vector<MirrorLocalItem>& local);
// Whether a remote link to a directory counts as a directory (to be entered) or as a file.
enum class RemoteLinks { AsListed, AsFiles };

MirrorSide RemoteSide(const TRecMirror& task, const std::vector<RemoteEntry>& remote, const CalendarDate& today,
                      RemoteLinks links = RemoteLinks::AsListed);

// Index of the first name equal to `name` without regard to ASCII letter case; -1 without one.
int FindNoCase(const std::vector<MirrorFile>& files, const std::string& name);
int FindNoCase(const std::vector<std::string>& names, const std::string& name);

} // namespace brisk
