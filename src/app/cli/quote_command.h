#pragma once
#include "cli_session.h"

#include <string>
#include <vector>

namespace brisk::cli {

// quote CMD...: each command raw, every line of its reply on stdout (control bytes shown as "?").
int runQuoteCommand(CliSession& session, const FtpUrl& url, const std::vector<std::string>& commands,
                    std::ostream& out);

} // namespace brisk::cli
