#pragma once
#include "sites/server_info.h"

namespace brisk {

// Lets a site's server field hold a whole address: an "ftp://" or "http://" scheme is dropped,
// blanks are removed, "user[:password]@" sets User (and Password), "/path" sets InitialDir and
// ":port" sets Port; what remains is the host in Server. Anonymous is left as it is.
void ParseServerAddress(TFTPServerInfo& site);

} // namespace brisk
