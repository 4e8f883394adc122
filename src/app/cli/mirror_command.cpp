#include "mirror_command.h"

#include "controller_run.h"
#include "mirror/mirror_runner.h"
#include "mirror/mirror_state_file.h"

#include <chrono>
#include <cstdio>
#include <ostream>
#include <vector>

namespace brisk::cli {

namespace {

// What a mirror run did, counted from its operation list.
struct MirrorTally {
    int transferred = 0;
    int deleted = 0;
    int skipped = 0;   // transfers and deletions planned but not carried out
    int failed = 0;
    int64_t bytes = 0;
};

bool isDeletion(TMirrorOperation op)
{
    return op == omDelLoc || op == omDelFtp || op == omRmdLoc || op == omRmdFtp;
}

std::string summaryLine(const MirrorTally& tally, double seconds, bool stopped)
{
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%.2f", seconds);
    return std::string("Mirror ") + (stopped ? "stopped" : "finished") + ": " + std::to_string(tally.transferred) +
           " transferred, " + std::to_string(tally.deleted) + " deleted, " + std::to_string(tally.skipped) +
           " skipped, " + std::to_string(tally.failed) + " failed, " + std::to_string(tally.bytes) + " bytes in " +
           elapsed + " s";
}

// In a dry run nothing planned is carried out, so every transfer and deletion counts as skipped.
// Failures are the run's own list: every failed operation, directory and passed-over name once.
MirrorTally tallyOf(const std::vector<TMirrorRec>& items, const std::vector<std::string>& failed, bool dryRun)
{
    MirrorTally tally;
    tally.failed = int(failed.size());
    for (const TMirrorRec& r : items) {
        const bool transfer = r.Operation == omGet || r.Operation == omPut;
        if (!transfer && !isDeletion(r.Operation))
            continue;
        if (r.State == smNone || (r.State == smDone && dryRun))
            ++tally.skipped;
        else if (r.State == smDone && transfer) {
            ++tally.transferred;
            tally.bytes += r.Operation == omGet ? r.RemoteSize : r.LocalSize;
        } else if (r.State == smDone)
            ++tally.deleted;
    }
    return tally;
}

} // namespace

int runMirror(const GlobalOptions& options, const FtpUrl& url, TRecMirror task, bool dryRun, std::ostream& out,
              std::ostream& err)
{
    const std::string localGiven = task.Local;
    const std::string remoteGiven = task.Remote;
    task.Local = absoluteLocalPath(localGiven).string();
    if (!isRealDirectory(task.Local))
        return err << "brisklane-cli: " << localGiven << ": not a local directory\n", kExitFailed;
    ControllerRun run(options, task.Local, err);
    if (!run.open(url))
        return kExitFailed;
    task.Remote = run.absolute(remoteGiven);
    if (!run.show(task.Remote))
        return run.report(remoteGiven, "cannot be entered"), kExitFailed;
    SessionController& c = run.controller();
    c.SetTransferTypeMenu(options.ascii ? 1 : 2);
    MirrorRunner runner(c, task);
    runner.setDryRun(dryRun);
    runner.setParallel(options.parallel);
    const auto start = std::chrono::steady_clock::now();
    runner.start();
    if (!run.waitEnd([&runner] { return runner.running(); }))
        return run.report(remoteGiven, "the session ended"), kExitFailed;
    if (!runner.run())
        return run.report(remoteGiven, "the mirror run did not start"), kExitFailed;
    const std::vector<TMirrorRec> items = runner.run()->Items.items();
    if (dryRun)
        for (const TMirrorRec& r : items)
            out << MirrorRecordLine(r) << '\n';
    const std::vector<std::string>& failed = runner.run()->Failed;
    const MirrorTally tally = tallyOf(items, failed, dryRun);
    const bool stopped = runner.run()->Stopped;
    err << summaryLine(tally, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                       stopped)
        << '\n';
    for (const std::string& what : failed)
        err << "  failed: " << what << '\n';
    return tally.failed > 0 || stopped ? kExitFailed : kExitOk;
}

} // namespace brisk::cli
