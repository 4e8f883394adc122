#include "sites/stored_site_login.h"

#include "platform/ascii.h"
#include "sites/server_address.h"
#include "sites/site_entries.h"
#include "sites/site_folder_files.h"

namespace brisk {

StoredSiteLogin LoginOfSite(const TFTPServerInfo& stored)
{
    TFTPServerInfo site = stored;
    ParseServerAddress(site);
    StoredSiteLogin login;
    login.host = site.Server;
    login.port = SitePort(site);
    login.initialDir = site.InitialDir;
    login.passive = site.Pasv != 0;
    login.security = site.Security <= 3 ? site.Security : 0;
    if (site.Anonymous) {
        login.user = "anonymous";
        login.password = site.EMail;
        return login;
    }
    login.user = site.User;
    login.needsPassword = !site.SavePassword || site.Password.empty();
    if (!login.needsPassword)
        login.password = site.Password;
    return login;
}

bool FindStoredSite(const std::string& ref, TFTPServerInfo& site, std::string& error)
{
    const size_t slash = ref.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : ref.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? ref : ref.substr(slash + 1);
    std::vector<std::string> lines;
    if (name.empty() || !IsSafeFolderPath(folder) || !ReadSiteFolderLines(folder, lines)) {
        error = "no stored site " + ref;
        return false;
    }
    const std::vector<SiteEntry> entries = EntriesFromLines(lines, SiteDefaults{});
    const SiteEntry* match = nullptr;
    for (const SiteEntry& entry : entries) {
        if (entry.kind != SiteEntryKind::Site)
            continue;
        if (entry.caption == name) {
            match = &entry;
            break;
        }
        if (!match && equalsNoCase(entry.caption, name))
            match = &entry;
    }
    if (!match) {
        error = "no stored site " + ref;
        return false;
    }
    site = match->site;
    return true;
}

} // namespace brisk
