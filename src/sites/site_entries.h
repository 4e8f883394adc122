#pragma once
#include "sites/server_info.h"

#include <string>
#include <vector>

namespace brisk {

// The kinds of the site-list panel; the values are the entries' images.
enum class SiteEntryKind { Up = 0, Folder = 1, Site = 3 };

// One row of the site-list panel. Site entries own their record (password in plain text).
struct SiteEntry {
    SiteEntryKind kind = SiteEntryKind::Site;
    std::string caption;
    TFTPServerInfo site;
};

// Entries of a list file's lines: "DIR=" lines (in any case) are folders, readable site lines
// are sites, anything else is skipped.
std::vector<SiteEntry> EntriesFromLines(const std::vector<std::string>& lines, const SiteDefaults& defaults);

// The list file lines of the entries, in order; the ".." entry is not written.
std::vector<std::string> LinesFromEntries(const std::vector<SiteEntry>& entries);

// The list-file line of one site entry.
std::string SiteEntryLine(const SiteEntry& entry);

// Orders by kind (up, folders, sites), then by caption with a-z compared as A-Z.
void SortSiteEntries(std::vector<SiteEntry>& entries);

} // namespace brisk
