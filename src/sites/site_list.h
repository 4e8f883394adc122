#pragma once
#include "sites/site_entries.h"
#include "sites/site_path_items.h"

#include <string>
#include <vector>

namespace brisk {

enum class SiteListStatus {
    Ok,
    CannotCreateDirectory,   // the directory in `path` could not be created; nothing was written
    WriteFailed,             // the list file in `path` could not be written
    Failed,                  // the command did not apply; nothing changed
};

struct SiteListOutcome {
    SiteListStatus status = SiteListStatus::Ok;
    std::string path;
    bool ok() const { return status == SiteListStatus::Ok; }
};

// The site list as the remote panel shows it while no session is open: one site folder of
// ProgramDir at a time, with the path box that leads back up. Every change is written at once.
class SiteList {
public:
    explicit SiteList(SiteDefaults defaults, std::string rootItemText = "SERVER LIST ...");

    const std::vector<SiteEntry>& entries() const { return entries_; }
    const SitePathItems& pathItems() const { return path_; }
    void setRootItemText(std::string text) { path_.setRootText(std::move(text)); }
    std::string CurrentSiteFolder() const { return path_.CurrentSiteFolder(); }
    void setDefaults(const SiteDefaults& defaults) { defaults_ = defaults; }

    // Shows folder ("" or names each followed by "/"); false, showing nothing new, for a path
    // that leaves ProgramDir.
    bool LoadSiteList(const std::string& folder);
    SiteListOutcome SaveSiteList();

    // Opens a folder entry or "..".
    bool openEntry(size_t index);
    // Shows the folder of a path box item.
    bool selectPathItem(int index);
    bool up();
    bool refresh() { return LoadSiteList(CurrentSiteFolder()); }

    // On success `index` is the new (or already listed) folder entry.
    SiteListOutcome makeFolder(const std::string& name, size_t& index);
    SiteListOutcome renameFolder(size_t index, const std::string& newName);
    // Removes the entries (the ".." entry stays); folders keep their directory on disk.
    SiteListOutcome deleteEntries(std::vector<size_t> indices);
    // Appends the site to the target folder's existing list file, then removes it here.
    SiteListOutcome moveSiteIntoFolder(size_t source, size_t target);
    // Re-scrambles passwords loaded from a list file that stored them in plain text.
    SiteListOutcome convertOldServerList();

    SiteListOutcome addSite(const TFTPServerInfo& site, size_t& index);
    // index is the entry to replace; afterwards, where the entry is now.
    SiteListOutcome replaceSite(size_t& index, const TFTPServerInfo& site);

private:
    bool isKind(size_t index, SiteEntryKind kind) const;
    // Puts entry index back in order; returns where it is now.
    size_t resort(size_t index);

    SiteDefaults defaults_;
    SitePathItems path_;
    std::vector<SiteEntry> entries_;
};

} // namespace brisk
