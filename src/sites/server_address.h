#pragma once
#include "sites/server_info.h"

namespace brisk {

// Lets a site's server field hold a whole address: an "ftp://" or "http://" scheme is dropped,
// blanks are removed, "user[:password]@" sets User (and Password), "/path" sets InitialDir and
// ":port" sets Port; what remains is the host in Server, an IPv6 address without the brackets of
// "[::1]:2121". Anonymous is left as it is.
void ParseServerAddress(TFTPServerInfo& site);

// The port the site is reached on, as a number: its own, else 990 for implicit TLS and 21 for the rest.
std::string SitePort(const TFTPServerInfo& site);

// The site as one "ftp://[user@]host[:port][/dir]" address (an IPv6 host in brackets), for copying: the port only when not
// 21, the user only when the site does not log in anonymously, never the password. Characters that
// would end the user or host part are written as %XX.
std::string SiteAddress(const TFTPServerInfo& site);

} // namespace brisk
