#include "mirror/mirror_side.h"

#include "listing/mask_match.h"
#include "listing/text_util.h"
#include "mirror/exclusion_list.h"
#include "platform/ascii.h"

#include <algorithm>

namespace brisk {

namespace {

// Which entries a side keeps: not "." or "..", not excluded, no link when links are ignored.
class EntryFilter {
public:
    explicit EntryFilter(const TRecMirror& task)
        : exclusions_(SplitExclusions(task.Exclusions)), ignoreLinks_(task.Params & mpIgnoreSymbolicLinks)
    {
    }

    bool keeps(const std::string& name, bool isLink) const
    {
        if (trimBlanks(name).empty() || name == "." || name == ".." || (isLink && ignoreLinks_))
            return false;
        return std::none_of(exclusions_.begin(), exclusions_.end(),
                            [&](const std::string& mask) { return MatchesMask(name, mask); });
    }

private:
    std::vector<std::string> exclusions_;
    bool ignoreLinks_;
};

bool isRemoteLink(const RemoteEntry& entry)
{
    return !entry.link.empty() || (!entry.attributes.empty() && lowerAscii(entry.attributes[0]) == 'l');
}

} // namespace

MirrorSide LocalSide(const TRecMirror& task, const std::vector<MirrorLocalItem>& local)
{
    const EntryFilter filter(task);
    const bool subfolders = task.Params & mpIncludeSubfolders;
    MirrorSide side;
    for (const MirrorLocalItem& item : local) {
        if (!filter.keeps(item.name, item.isLink))
            continue;
        if (!item.isDirectory)
            side.files.push_back({item.name, item.size, item.modified});
        else if (subfolders)
            side.dirs.push_back(item.name);
    }
    return side;
}

MirrorSide RemoteSide(const TRecMirror& task, const std::vector<RemoteEntry>& remote, const CalendarDate& today,
                      RemoteLinks links)
{
    const EntryFilter filter(task);
    const bool subfolders = task.Params & mpIncludeSubfolders;
    MirrorSide side;
    for (const RemoteEntry& entry : remote) {
        const bool isLink = isRemoteLink(entry);
        if (!filter.keeps(entry.name, isLink))
            continue;
        if (!entry.isDirectory || (isLink && links == RemoteLinks::AsFiles))
            side.files.push_back({entry.name, decimalValue(trimBlanks(entry.size)).value_or(0), RemoteStamp(entry, today)});
        else if (subfolders)
            side.dirs.push_back(entry.name);
    }
    return side;
}

int FindNoCase(const std::vector<MirrorFile>& files, const std::string& name)
{
    const auto found = std::find_if(files.begin(), files.end(),
                                    [&](const MirrorFile& file) { return equalsNoCase(file.name, name); });
    return found == files.end() ? -1 : int(found - files.begin());
}

int FindNoCase(const std::vector<std::string>& names, const std::string& name)
{
    const auto found = std::find_if(names.begin(), names.end(),
                                    [&](const std::string& other) { return equalsNoCase(other, name); });
    return found == names.end() ? -1 : int(found - names.begin());
}

} // namespace brisk
