#include "sites/site_entries.h"

#include "platform/ascii.h"
#include "sites/site_line.h"

#include <algorithm>

namespace brisk {
namespace {

const char* const kFolderPrefix = "DIR=";

int compareCaptions(const std::string& a, const std::string& b)
{
    const std::string ua = toUpperAscii(a);
    const std::string ub = toUpperAscii(b);
    return ua < ub ? -1 : (ua > ub ? 1 : 0);
}

} // namespace

std::vector<SiteEntry> EntriesFromLines(const std::vector<std::string>& lines, const SiteDefaults& defaults)
{
    std::vector<SiteEntry> entries;
    for (const std::string& line : lines) {
        SiteEntry entry;
        if (startsWithNoCase(line, kFolderPrefix)) {
            entry.kind = SiteEntryKind::Folder;
            entry.caption = line.substr(4);
        } else if (ParseSiteLine(line, entry.site, defaults)) {
            entry.caption = entry.site.Name;
        } else {
            continue;
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string SiteEntryLine(const SiteEntry& entry)
{
    return entry.kind == SiteEntryKind::Folder ? kFolderPrefix + entry.caption : SerializeSite(entry.site);
}

std::vector<std::string> LinesFromEntries(const std::vector<SiteEntry>& entries)
{
    std::vector<std::string> lines;
    for (const SiteEntry& entry : entries)
        if (entry.kind != SiteEntryKind::Up)
            lines.push_back(SiteEntryLine(entry));
    return lines;
}

void SortSiteEntries(std::vector<SiteEntry>& entries)
{
    std::stable_sort(entries.begin(), entries.end(), [](const SiteEntry& a, const SiteEntry& b) {
        if (a.kind != b.kind)
            return static_cast<int>(a.kind) < static_cast<int>(b.kind);
        return compareCaptions(a.caption, b.caption) < 0;
    });
}

} // namespace brisk
