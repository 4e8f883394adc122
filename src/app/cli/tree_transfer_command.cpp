#include "tree_transfer_command.h"

#include "controller_run.h"

#include <ostream>

namespace brisk::cli {

namespace {

namespace fs = std::filesystem;

// Waits for the transfer's end and tells how it went: its closing lines, the counts and each
// failure by name (with -v the log holds them), and exit status 2 when anything failed.
int finish(ControllerRun& run, const std::string& subject, bool verbose)
{
    SessionController& c = run.controller();
    if (!run.waitChainEnd(c.transferChain()))
        return run.report(subject, "the session ended"), kExitFailed;
    if (!run.printClosingLines(c.msl[xmsgTransferFinished], verbose))
        return run.report(subject, "the transfer did not start"), kExitFailed;
    return c.transferChain().tally().failed > 0 ? kExitFailed : kExitOk;
}

} // namespace

int runTreeGet(const GlobalOptions& options, const FtpUrl& url, const std::string& remoteDir,
               const std::string& localDir, std::ostream& err)
{
    const fs::path target = absoluteLocalPath(localDir);
    if (!isRealDirectory(target))
        return err << "brisklane-cli: " << localDir << ": not a local directory\n", kExitFailed;
    ControllerRun run(options, target.string(), err);
    if (!run.open(url))
        return kExitFailed;
    const int row = run.selectEntry(remoteDir, "downloaded");
    if (row < 0)
        return kExitFailed;
    SessionController& c = run.controller();
    if (c.remote.panel.rows()[size_t(row)].image == kImageFile)
        return run.report(remoteDir, "not a directory"), kExitFailed;
    c.SetTransferTypeMenu(options.ascii ? 1 : 2);
    c.transferChain().parallel = options.parallel;
    c.StartDownload();
    return finish(run, remoteDir, options.verbose);
}

int runTreePut(const GlobalOptions& options, const FtpUrl& url, const std::string& localDir,
               const std::string& remoteDir, std::ostream& err)
{
    const fs::path source = absoluteLocalPath(localDir);
    if (!source.has_filename() || !isRealDirectory(source))
        return err << "brisklane-cli: " << localDir << ": not a local directory that can be uploaded\n", kExitFailed;
    ControllerRun run(options, source.parent_path().string(), err);
    if (!run.open(url))
        return kExitFailed;
    if (!remoteDir.empty() && !run.show(run.absolute(remoteDir)))
        return run.report(remoteDir, "cannot be entered"), kExitFailed;
    SessionController& c = run.controller();
    c.SetTransferTypeMenu(options.ascii ? 1 : 2);
    c.transferChain().parallel = options.parallel;
    c.StartUpload({source.filename().string()});
    return finish(run, localDir, options.verbose);
}

} // namespace brisk::cli
