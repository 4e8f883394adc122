#pragma once
#include "cli_session.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace brisk::cli {

// `rm -r DIR...`: removes each remote tree with the window's delete chain, through a session
// controller. Exit status 2 when any of them was not removed or anything in it failed.
int runTreeDelete(const GlobalOptions& options, const FtpUrl& url, const std::vector<std::string>& dirs,
                  std::ostream& err);

} // namespace brisk::cli
