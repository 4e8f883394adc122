#include "mirror/mirror_runner.h"

#include "listing/time_of_day.h"
#include "platform/event_loop.h"
#include "session/download_target.h"

namespace brisk {

namespace {

bool isTransfer(TMirrorOperation operation)
{
    return operation == omGet || operation == omPut;
}

} // namespace

void MirrorRunner::startWorkers()
{
    if (parallel_ <= 1 || dryRun_)
        return;
    workers_ = std::make_shared<TransferWorkers>(ctx_.conn.engine(), parallel_, ctx_.options.TimeOut, ctx_.ui.Progress());
    LogPoolEvents(*workers_, ctx_.msl, ctx_.log);
    workers_->stopRequested = [this] { return run_->Stopped; };
    workers_->onFinished = [this](const TransferWorkers::Outcome& outcome) { workerFinished(outcome); };
    workers_->onReturned = [this](std::vector<WorkerTask> tasks) { tasksReturned(std::move(tasks)); };
}

// The file goes to the workers, unless it is to be resumed (a worker resumes only what it started)
// or the directory has no absolute path (a virtual host's relative start directory). A download
// goes to its part file there; an upload under the name this connection would have used.
bool MirrorRunner::handOut(TMirrorRec& r)
{
    const std::string dir = run_->RemotePath();
    if (!workers_ || resumeThis_ || dir.empty() || dir.front() != '/')
        return false;
    WorkerTask task;
    task.upload = r.Operation == omPut;
    task.localPath = run_->LocalPath() + r.LocalName;
    task.ascii = (task_.Params & mpAllBinary) == 0 && session_.transferChain().wantsAscii(r.RemoteName);
    const bool temporary = task.upload && sendsTemporary(r);
    task.remotePath = dir + (temporary ? MirrorPartialName(r.RemoteName) : r.RemoteName);
    if (temporary)
        task.renameTo = dir + r.RemoteName;
    if (task.upload) {
        task.size = r.LocalSize;
    } else {
        const RemoteListing entry = listedEntry(r.RemoteName);
        task.size = ListedFileSize(entry, r.RemoteName);
        task.exactTime = entry.size() == 1 && TimeShowsSeconds(entry[0].time);
    }
    // Marked first: the workers may give the file back before add() returns.
    r.State = smDirProgress;
    put(r);
    handed_[{task.upload, task.remotePath}] = {run_->Current, temporary};
    ctx_.log(ctx_.msl[msgStartingTransfer] + " " + r.RemoteName);
    workers_->add(std::move(task));
    return true;
}

// A download is committed with the checks this connection's would have. An upload under the
// temporary name was renamed by the worker; a rename it could not make is tried again here, where a
// refusal sends the file again under its own name. A failure is the file's, and what a failed
// upload left on the server must not pass for the file: the temporary copy goes, and so does a file
// sent under its own name once any of it went over.
void MirrorRunner::workerFinished(const TransferWorkers::Outcome& outcome)
{
    const WorkerTask& task = outcome.task;
    const auto found = handed_.find({task.upload, task.remotePath});
    if (found == handed_.end())
        return;
    const HandedFile handed = found->second;
    handed_.erase(found);
    const TMirrorRec r = run_->Items.at(handed.index);
    bool ok = outcome.ok;
    std::string failure = outcome.failure;
    if (ok && !task.upload) {
        failure = downloadProblem(r, !task.ascii, outcome.remoteTime);
        ok = failure.empty();
    }
    if (!ok && outcome.renameFailed) {
        afterWorkers_.push_back({handed.index, true, {}});
    } else if (ok) {
        run_->Items.setState(handed.index, smDone);
    } else {
        ctx_.log(ctx_.msl[msgError] + " " + failure);
        run_->Items.setState(handed.index, smError);
        noteFailure(r.RemoteName, failure);
        if (handed.temporary)
            afterWorkers_.push_back({handed.index, false, MirrorPartialName(r.RemoteName)});
        else if (task.upload && (outcome.bytes > 0 || task.attempts > 1))
            afterWorkers_.push_back({handed.index, false, r.RemoteName});
    }
    wakeFromWorkers();
}

// No connection of its own could be opened: this connection transfers the files itself, in the
// list's order, without asking about their targets again. The workers may be on the call stack:
// they go on the next loop round.
void MirrorRunner::tasksReturned(std::vector<WorkerTask> tasks)
{
    for (const WorkerTask& task : tasks) {
        const auto found = handed_.find({task.upload, task.remotePath});
        if (found == handed_.end())
            continue;
        run_->Items.setState(found->second.index, smNone);
        checked_.insert(found->second.index);
        handed_.erase(found);
    }
    EventLoop::instance().post([workers = std::move(workers_)] {});
    wakeFromWorkers();
}

// The step a worker's upload left, before anything else: the run is still in the directory the
// file was sent to, so the names are the plain ones this connection's own upload would use.
bool MirrorRunner::runStepAfterWorker()
{
    while (!afterWorkers_.empty()) {
        const StepAfterWorker step = afterWorkers_.front();
        afterWorkers_.pop_front();
        if (step.rename) {
            run_->Current = step.index;
            TMirrorRec r = current();
            r.State = smProgress;
            put(r);
            renameUpload(r);
            return true;
        }
        if (tidy(step.remoteName))
            return true;
    }
    return false;
}

// Any step but a transfer waits until the workers are done: a deletion comes after the transfers
// of its directory, and the run leaves a directory only once its uploads are renamed.
bool MirrorRunner::awaitWorkers(bool found, int next)
{
    if (!workersBusy() || (found && isTransfer(run_->Items.at(next).Operation)))
        return false;
    awaitingWorkers_ = true;
    return true;
}

bool MirrorRunner::workersBusy() const
{
    return (workers_ && workers_->busy()) || !afterWorkers_.empty();
}

// A run waiting for the workers goes on once they are done or have left it a step.
void MirrorRunner::wakeFromWorkers()
{
    if (!awaitingWorkers_ || (afterWorkers_.empty() && workersBusy()))
        return;
    awaitingWorkers_ = false;
    post(&MirrorRunner::executeNext);
}

// The end of the run: idle connections say goodbye. Files the workers were given but never started
// (Stop dropped them) are still to be done.
void MirrorRunner::stopWorkers()
{
    checked_.clear();
    if (!workers_)
        return;
    workers_->quitIdle();
    workers_->shutdown();
    for (const auto& [key, handed] : handed_)
        run_->Items.setState(handed.index, smNone);
    handed_.clear();
    EventLoop::instance().post([workers = std::move(workers_)] {});
}

} // namespace brisk
