#pragma once
#include "mirror/mirror_plan_input.h"
#include "mirror/mirror_task.h"

#include <string>
#include <vector>

namespace brisk {

// Which entries a side considers: not blank, not "." or "..", not excluded by the task's masks.
class MirrorEntryFilter {
public:
    explicit MirrorEntryFilter(const TRecMirror& task);
    bool keeps(const std::string& name) const;

private:
    std::vector<std::string> exclusions_;
};

// A file of one side as the planner compares it.
struct MirrorFile {
    std::string name;
    int64_t size = 0;
    MirrorStamp stamp;
    bool isLink = false;   // a local link to a file: it can be read, never written through
};

// What one side of a directory offers the planner once the task's filters are applied: its files,
// its subdirectories when the task includes subfolders, and the links it leaves alone (ignored
// ones, and local links to directories, which are never entered). A name left alone on one side
// is left alone on the other too: a link is never a reason to create or delete anything.
struct MirrorSide {
    std::vector<MirrorFile> files;
    std::vector<std::string> dirs;
    std::vector<std::string> links;
};

MirrorSide LocalSide(const TRecMirror& task, const std::vector<MirrorLocalItem>& local);
// Whether a remote link to a directory counts as a directory (to be entered) or as a file.
enum class RemoteLinks { AsListed, AsFiles };

// Lines the parser could not read are never taken for entries.
MirrorSide RemoteSide(const TRecMirror& task, const std::vector<RemoteEntry>& remote, const CalendarDate& today,
                      RemoteClock clock, RemoteLinks links = RemoteLinks::AsListed);

} // namespace brisk
