#include "mirror/mirror_side.h"

#include "listing/mask_match.h"
#include "listing/text_util.h"
#include "mirror/exclusion_list.h"
#include "platform/ascii.h"

#include <algorithm>

namespace brisk {

namespace {

bool isRemoteLink(const RemoteEntry& entry)
{
    return !entry.link.empty() || (!entry.attributes.empty() && lowerAscii(entry.attributes[0]) == 'l');
}

} // namespace

MirrorEntryFilter::MirrorEntryFilter(const TRecMirror& task) : exclusions_(SplitExclusions(task.Exclusions)) {}

bool MirrorEntryFilter::keeps(const std::string& name) const
{
    if (trimBlanks(name).empty() || name == "." || name == "..")
        return false;
    return std::none_of(exclusions_.begin(), exclusions_.end(),
                        [&](const std::string& mask) { return MatchesMask(name, mask); });
}

MirrorSide LocalSide(const TRecMirror& task, const std::vector<MirrorLocalItem>& local)
{
    const MirrorEntryFilter filter(task);
    const bool subfolders = task.Params & mpIncludeSubfolders;
    const bool ignoreLinks = task.Params & mpIgnoreSymbolicLinks;
    MirrorSide side;
    for (const MirrorLocalItem& item : local) {
        if (!filter.keeps(item.name))
            continue;
        if (item.isLink && (ignoreLinks || item.isDirectory))
            side.links.push_back(item.name);
        else if (!item.isDirectory)
            side.files.push_back({item.name, item.size, item.modified, item.isLink});
        else if (subfolders)
            side.dirs.push_back(item.name);
    }
    return side;
}

MirrorSide RemoteSide(const TRecMirror& task, const std::vector<RemoteEntry>& remote, const CalendarDate& today,
                      RemoteClock clock, RemoteLinks links)
{
    const MirrorEntryFilter filter(task);
    const bool subfolders = task.Params & mpIncludeSubfolders;
    const bool ignoreLinks = task.Params & mpIgnoreSymbolicLinks;
    MirrorSide side;
    for (const RemoteEntry& entry : remote) {
        if (entry.unreadable || !filter.keeps(entry.name))
            continue;
        const bool isLink = isRemoteLink(entry);
        if (isLink && ignoreLinks)
            side.links.push_back(entry.name);
        else if (!entry.isDirectory || (isLink && links == RemoteLinks::AsFiles))
            side.files.push_back(
                {entry.name, decimalValue(trimBlanks(entry.size)).value_or(0), RemoteStamp(entry, today, clock)});
        else if (subfolders)
            side.dirs.push_back(entry.name);
    }
    return side;
}

} // namespace brisk
