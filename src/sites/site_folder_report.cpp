#include "sites/site_folder_report.h"

#include "platform/directories.h"
#include "sites/response_types.h"
#include "sites/site_entries.h"
#include "sites/site_folder_files.h"

#include <vector>

namespace brisk {
namespace {

std::string responseTypeText(const TFTPServerInfo& site)
{
    const ResponseType type = responseTypeOf(site.Answer);
    const std::string name = ResponseTypeName(type);
    return type == ResponseType::Custom && !site.AnswerName.empty() ? name + " (" + site.AnswerName + ")" : name;
}

void reportEntry(const SiteEntry& entry, std::ostream& out)
{
    if (entry.kind == SiteEntryKind::Folder) {
        out << "folder\t" << entry.caption << "\n";
        return;
    }
    const TFTPServerInfo& s = entry.site;
    out << "site\t" << entry.caption << "\tserver=" << s.Server << "\tport=" << s.Port
        << "\tuser=" << (s.Anonymous ? std::string("anonymous") : s.User)
        << "\tpassword=" << (s.Password.empty() ? "none" : "saved") << "\ttype=" << responseTypeText(s) << "\n";
}

std::string normalizedFolder(const std::string& folder)
{
    return (folder.empty() || folder.back() == '/') ? folder : folder + "/";
}

} // namespace

bool ReportSiteFolder(const std::string& requested, std::ostream& out, std::string& error)
{
    const std::string folder = normalizedFolder(requested);
    if (!IsSafeFolderPath(folder) || !directoryExists(SiteFolderDir(folder))) {
        error = "no site folder " + requested;
        return false;
    }
    std::vector<std::string> lines;
    ReadSiteFolderLines(folder, lines);
    std::vector<SiteEntry> entries = EntriesFromLines(lines, SiteDefaults{});
    SortSiteEntries(entries);
    for (const SiteEntry& entry : entries)
        reportEntry(entry, out);
    return true;
}

} // namespace brisk
