#include "app/cli/sites_command.h"

#include "sites/site_folder_report.h"

namespace brisk {

int runSitesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() > 1) {
        err << "usage: brisklane-cli sites [FOLDER]\n";
        return 1;
    }
    std::string error;
    if (!ReportSiteFolder(args.empty() ? std::string() : args[0], out, error)) {
        err << error << "\n";
        return 1;
    }
    return 0;
}

bool resolveStoredSite(const std::string& ref, StoredSiteLogin& out, std::string& error)
{
    TFTPServerInfo site;
    if (!FindStoredSite(ref, site, error))
        return false;
    out = LoginOfSite(site);
    return true;
}

} // namespace brisk
