#include "tree_delete_command.h"

#include "controller_run.h"
#include "platform/directories.h"
#include "session/remote_paths.h"

#include <ostream>

namespace brisk::cli {

namespace {

// The tree is gone only when nothing failed and its row is gone from the panel.
bool removeTree(ControllerRun& run, const std::string& given, bool verbose)
{
    if (run.selectEntry(given, "removed") < 0)
        return false;
    SessionController& c = run.controller();
    c.DeleteRemote();
    if (!run.waitChainEnd(c.deleteChain()))
        return run.report(given, "the session ended"), false;
    run.printClosingLines(c.msl[xmsgDeleteFinished], verbose);
    if (rowOf(c.remote.panel, LastComponent(run.absolute(given))) >= 0 || !c.listingError().empty())
        return run.report(given, "not removed"), false;
    return c.deleteChain().tally().failed == 0;
}

} // namespace

int runTreeDelete(const GlobalOptions& options, const FtpUrl& url, const std::vector<std::string>& dirs,
                  std::ostream& err)
{
    ControllerRun run(options, currentDirectory(), err);
    if (!run.open(url))
        return kExitFailed;
    bool all = true;
    for (const std::string& dir : dirs)
        all = removeTree(run, dir, options.verbose) && all;
    return all ? kExitOk : kExitFailed;
}

} // namespace brisk::cli
