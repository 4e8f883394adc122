#pragma once
#include "sites/stored_site_login.h"

#include <ostream>
#include <string>
#include <vector>

namespace brisk {

// brisklane-cli sites [FOLDER]: args are the words after "sites". Lists the folders, then the
// sites of a site folder of ProgramDir, one line each. 0, or 1 on a usage error or a missing
// folder (message on err).
int runSitesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// ref is "NAME" or "FOLDER/NAME" (the "@" already removed). Fills out with the site's login,
// or gives false and a message.
bool resolveStoredSite(const std::string& ref, StoredSiteLogin& out, std::string& error);

} // namespace brisk
