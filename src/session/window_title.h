#pragma once
#include "listing/remote_panel.h"

#include <string>

namespace brisk {

// The main window's title: "Brisklane" with the site list, "Brisklane - SITE - /remote/dir" while a
// site is open (the directory once its first listing is shown).
std::string WindowTitle(bool siteListMode, const std::string& siteName, const RemotePanel& remote);

} // namespace brisk
