#pragma once
#include "sites/server_info.h"

#include <string>

namespace brisk {

// What logging in to a stored site needs.
struct StoredSiteLogin {
    std::string host, port, user, password, initialDir;
    bool passive = false;
    bool needsPassword = false;   // no password is saved: the caller asks for one
    uint8_t security = 0;         // as TFTPServerInfo::Security
};

// The login of a site record: its server field through the address parser, "anonymous" and the
// e-mail address for anonymous sites, the stored password when SavePassword is set.
StoredSiteLogin LoginOfSite(const TFTPServerInfo& site);

// Finds "NAME" or "FOLDER/.../NAME" among the stored sites of ProgramDir (the site name exactly,
// else without regard to case; folders without regard to case). False with a message when there
// is no such site.
bool FindStoredSite(const std::string& ref, TFTPServerInfo& site, std::string& error);

} // namespace brisk
