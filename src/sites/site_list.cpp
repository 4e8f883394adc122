#include "sites/site_list.h"

#include "platform/ascii.h"
#include "platform/directories.h"
#include "sites/password_scramble.h"
#include "sites/site_folder_files.h"

#include <algorithm>
#include <cstdio>

namespace brisk {
namespace {

std::string withTrailingSlash(const std::string& folder)
{
    return (folder.empty() || folder.back() == '/') ? folder : folder + "/";
}

SiteListOutcome failed()
{
    return {SiteListStatus::Failed, {}};
}

} // namespace

SiteList::SiteList(SiteDefaults defaults, std::string rootItemText)
    : defaults_(std::move(defaults)), path_(std::move(rootItemText))
{
}

bool SiteList::isKind(size_t index, SiteEntryKind kind) const
{
    return index < entries_.size() && entries_[index].kind == kind;
}

size_t SiteList::resort(size_t index)
{
    // Moving the row to the end first makes it the last of equal rows: the sort is stable.
    std::rotate(entries_.begin() + static_cast<std::ptrdiff_t>(index),
                entries_.begin() + static_cast<std::ptrdiff_t>(index) + 1, entries_.end());
    const std::string caption = entries_.back().caption;
    const SiteEntryKind kind = entries_.back().kind;
    SortSiteEntries(entries_);
    for (size_t i = entries_.size(); i-- > 0;)
        if (entries_[i].kind == kind && entries_[i].caption == caption)
            return i;
    return entries_.size() - 1;
}

bool SiteList::LoadSiteList(const std::string& requested)
{
    const std::string folder = withTrailingSlash(requested);
    if (!IsSafeFolderPath(folder))
        return false;
    entries_.clear();
    path_.sync(folder);
    if (!folder.empty())
        entries_.push_back(SiteEntry{SiteEntryKind::Up, "..", {}});
    std::vector<std::string> lines;
    if (ReadSiteFolderLines(folder, lines))
        for (SiteEntry& entry : EntriesFromLines(lines, defaults_))
            entries_.push_back(std::move(entry));
    SortSiteEntries(entries_);
    return true;
}

SiteListOutcome SiteList::SaveSiteList()
{
    const std::string dir = SiteFolderDir(CurrentSiteFolder());
    if (!directoryExists(dir) && !makeDirectories(dir))
        return {SiteListStatus::CannotCreateDirectory, dir};
    if (!WriteListFileIn(dir, LinesFromEntries(entries_)))
        return {SiteListStatus::WriteFailed, ListFileIn(dir)};
    return {};
}

bool SiteList::openEntry(size_t index)
{
    if (isKind(index, SiteEntryKind::Up))
        return up();
    if (isKind(index, SiteEntryKind::Folder) && IsSafeFolderName(entries_[index].caption))
        return LoadSiteList(CurrentSiteFolder() + entries_[index].caption + "/");
    return false;
}

bool SiteList::selectPathItem(int index)
{
    if (index < 0 || index >= static_cast<int>(path_.items().size()))
        return false;
    return LoadSiteList(path_.folderAt(index));
}

bool SiteList::up()
{
    return path_.selected() > 0 && selectPathItem(path_.selected() - 1);
}

SiteListOutcome SiteList::makeFolder(const std::string& name, size_t& index)
{
    const std::string dir = SiteFolderDir(CurrentSiteFolder());
    if (!IsSafeFolderName(name) || !makeDirectories(resolvePathNoCase(dir, name)))
        return {SiteListStatus::CannotCreateDirectory, CurrentSiteFolder() + name};
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (isKind(i, SiteEntryKind::Folder) && equalsNoCase(entries_[i].caption, name)) {
            index = i;
            return {};
        }
    }
    entries_.push_back(SiteEntry{SiteEntryKind::Folder, name, {}});
    index = resort(entries_.size() - 1);
    return SaveSiteList();
}

SiteListOutcome SiteList::renameFolder(size_t index, const std::string& newName)
{
    if (!isKind(index, SiteEntryKind::Folder) || !IsSafeFolderName(newName) ||
        !IsSafeFolderName(entries_[index].caption))
        return failed();
    const std::string dir = SiteFolderDir(CurrentSiteFolder());
    const std::string oldOnDisk = findEntryNoCase(dir, entries_[index].caption);
    const std::string clash = findEntryNoCase(dir, newName);
    // An existing name fails, except the folder itself under another letter case.
    if (oldOnDisk.empty() || (!clash.empty() && clash != oldOnDisk))
        return failed();
    if (std::rename((dir + oldOnDisk).c_str(), (dir + newName).c_str()) != 0)
        return failed();
    entries_[index].caption = newName;
    resort(index);
    return SaveSiteList();
}

SiteListOutcome SiteList::deleteEntries(std::vector<size_t> indices)
{
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    bool removed = false;
    for (auto it = indices.rbegin(); it != indices.rend(); ++it) {
        if (*it >= entries_.size() || isKind(*it, SiteEntryKind::Up))
            continue;
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(*it));
        removed = true;
    }
    return removed ? SaveSiteList() : failed();
}

SiteListOutcome SiteList::moveSiteIntoFolder(size_t source, size_t target)
{
    if (!isKind(source, SiteEntryKind::Site) || !isKind(target, SiteEntryKind::Folder))
        return failed();
    const std::string folder = CurrentSiteFolder() + entries_[target].caption + "/";
    std::vector<std::string> lines;
    if (!IsSafeFolderPath(folder) || !makeDirectories(SiteFolderDir(folder)))
        return failed();
    // A folder that never held a site has no list file yet: it starts empty. One that cannot be
    // read must not be overwritten.
    if (fileExists(ListFileIn(SiteFolderDir(folder))) && !ReadSiteFolderLines(folder, lines))
        return failed();
    lines.push_back(SiteEntryLine(entries_[source]));
    if (!WriteListFileIn(SiteFolderDir(folder), lines))
        return failed();
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(source));
    return SaveSiteList();
}

SiteListOutcome SiteList::convertOldServerList()
{
    for (SiteEntry& entry : entries_)
        if (entry.kind == SiteEntryKind::Site)
            entry.site.Password = ScramblePassword(entry.site.Password);
    return SaveSiteList();
}

SiteListOutcome SiteList::addSite(const TFTPServerInfo& site, size_t& index)
{
    entries_.push_back(SiteEntry{SiteEntryKind::Site, site.Name, site});
    index = resort(entries_.size() - 1);
    return SaveSiteList();
}

SiteListOutcome SiteList::replaceSite(size_t& index, const TFTPServerInfo& site)
{
    if (!isKind(index, SiteEntryKind::Site))
        return failed();
    entries_[index].site = site;
    entries_[index].caption = site.Name;
    index = resort(index);
    return SaveSiteList();
}

} // namespace brisk
