#pragma once
#include "cli_session.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace brisk::cli {

// Commands that need a logged-in session. Each returns an exit status; failures are reported by the session.
using RemoteCommand = int (*)(CliSession& session, const std::vector<std::string>& args, const GlobalOptions& options,
                              std::ostream& out);

struct RemoteCommandInfo {
    const char* name;
    size_t minArgs;
    size_t maxArgs;
    RemoteCommand run;
};

// The table of remote commands; nullptr when there is no command of that name.
const RemoteCommandInfo* findRemoteCommand(const std::string& name);

int runLs(CliSession&, const std::vector<std::string>&, const GlobalOptions&, std::ostream&);
int runNlst(CliSession&, const std::vector<std::string>&, const GlobalOptions&, std::ostream&);
int runGet(CliSession&, const std::vector<std::string>&, const GlobalOptions&, std::ostream&);
int runPut(CliSession&, const std::vector<std::string>&, const GlobalOptions&, std::ostream&);
int runAppend(CliSession&, const std::vector<std::string>&, const GlobalOptions&, std::ostream&);
int runMkdir(CliSession&, const std::vector<std::string>&, const GlobalOptions&, std::ostream&);
int runRmdir(CliSession&, const std::vector<std::string>&, const GlobalOptions&, std::ostream&);
int runRm(CliSession&, const std::vector<std::string>&, const GlobalOptions&, std::ostream&);
int runMv(CliSession&, const std::vector<std::string>&, const GlobalOptions&, std::ostream&);
int runSize(CliSession&, const std::vector<std::string>&, const GlobalOptions&, std::ostream&);
int runPwd(CliSession&, const std::vector<std::string>&, const GlobalOptions&, std::ostream&);

} // namespace brisk::cli
