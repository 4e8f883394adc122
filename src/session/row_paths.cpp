#include "session/session_controller.h"

#include "listing/row_details.h"
#include "session/remote_paths.h"
#include "sites/server_address.h"

namespace brisk {

// Copy Path: the selected remote entries' full paths, or in the site list the selected site's
// address (never its password).
std::vector<std::string> SessionController::selectedRemotePaths() const
{
    std::vector<std::string> paths;
    if (SiteListMode_) {
        if (const SiteEntry* entry = sites.selectedSite())
            paths.push_back(SiteAddress(entry->site));
        return paths;
    }
    for (size_t index : remote.panel.selectedIndices())
        paths.push_back(WithSlash(connection_.dir()) + std::string(remote.panel.rows().caption(index)));
    return paths;
}

// Properties: a site's are its dialog; an entry's are its figures from the listing.
void SessionController::ShowRemoteProperties()
{
    if (SiteListMode_)
        return sites.EditSiteProperties();
    const int index = remote.panel.selectedIndex();
    if (index < 0)
        return;
    ui_.ShowMessage(std::string(remote.panel.rows().caption(size_t(index))),
                    RowDetailsText(msl, remote.panel.rows().view(size_t(index)), connection_.dir()));
}

} // namespace brisk
