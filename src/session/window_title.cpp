#include "session/window_title.h"

namespace brisk {

std::string WindowTitle(bool siteListMode, const std::string& siteName, const RemotePanel& remote)
{
    std::string title = "Brisklane";
    if (siteListMode)
        return title;
    title += " - " + siteName;
    // The last path item is the directory shown; a choice in the box may be on its way.
    const int shown = int(remote.pathItems().size()) - 1;
    if (shown >= 1)
        title += " - " + remote.pathOfItem(shown);
    return title;
}

} // namespace brisk
