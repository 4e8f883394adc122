#pragma once
#include "cli_session.h"

#include <iosfwd>
#include <string>

namespace brisk::cli {

// `get -r REMOTE_DIR LOCAL_DIR`: the remote tree lands in LOCAL_DIR/NAME, through the window's
// download chain.
int runTreeGet(const GlobalOptions& options, const FtpUrl& url, const std::string& remoteDir,
               const std::string& localDir, std::ostream& err);

// `put -r LOCAL_DIR [REMOTE_DIR]`: the local tree lands in REMOTE_DIR/NAME (by default in the
// directory the session opens in), through the window's upload chain.
int runTreePut(const GlobalOptions& options, const FtpUrl& url, const std::string& localDir,
               const std::string& remoteDir, std::ostream& err);

} // namespace brisk::cli
