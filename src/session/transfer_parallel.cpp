#include "session/transfer_chain.h"

#include "platform/event_loop.h"
#include "session/download_target.h"
#include "session/remote_paths.h"

namespace brisk {

namespace {

bool absolute(const std::string& path)
{
    return !path.empty() && path.front() == '/';
}

} // namespace

void TransferChain::startWorkers()
{
    if (parallel <= 1 || toQueue || !ctx_.conn.connected())
        return;
    workers_ = std::make_shared<TransferWorkers>(ctx_.conn.engine(), parallel, ctx_.options.TimeOut,
                                                ctx_.ui.Progress());
    LogPoolEvents(*workers_, ctx_.msl, ctx_.log);
    workers_->stopRequested = [this] { return ctx_.abortMark; };
    workers_->onFinished = [this](const TransferWorkers::Outcome& outcome) { workerFinished(outcome); };
    workers_->onReturned = [this](std::vector<WorkerTask> tasks) { tasksReturned(std::move(tasks)); };
}

// Every queued file that passes the overwrite check goes to the workers, unless its path cannot be
// made absolute (a virtual host's relative start directory): that one stays for this connection.
void TransferChain::handOutFiles()
{
    if (!workers_ && !toQueue)
        return;
    while (!files_.empty()) {
        CheckOverwrite();
        if (files_.empty())
            return;
        std::optional<WorkerTask> task = taskOf(files_.front());
        if (!task)
            return;
        if (toQueue) {
            if (toQueue(*task) == 0)
                return;
            files_.pop_front();
            ++tally_.queued;
            continue;
        }
        files_.pop_front();
        ctx_.ui.Progress().open();
        workers_->add(std::move(*task));
    }
}

std::optional<WorkerTask> TransferChain::taskOf(const TransferFile& file) const
{
    WorkerTask task;
    task.upload = direction_ == Direction::Upload;
    task.size = file.size;
    task.resume = resumeThis;
    if (task.upload) {
        task.localPath = file.source;
        task.remotePath = absolute(file.target) ? file.target : WithSlash(ctx_.baseRemoteDir) + file.target;
        task.ascii = wantsAscii(file.source);
    } else {
        task.localPath = file.target;
        task.remotePath = absolute(file.source) ? file.source : WithSlash(currentDir_.source) + file.source;
        task.time = file.time;
        task.exactTime = file.exactTime;
        task.ascii = wantsAscii(file.target);
    }
    if (!absolute(task.remotePath))
        return std::nullopt;
    return task;
}

void TransferChain::workerFinished(const TransferWorkers::Outcome& outcome)
{
    const WorkerTask& task = outcome.task;
    bool ok = outcome.ok;
    if (!ok) {
        ctx_.log(ctx_.msl[msgError] + " " + outcome.failure);
    } else if (!task.upload) {
        const std::string problem =
            CommitDownload(ctx_.msl, task.localPath, ExpectedDownloadSize(!task.ascii, task.size),
                           outcome.remoteTime > 0 ? outcome.remoteTime : task.time);
        if (!problem.empty())
            ctx_.log(ctx_.msl[msgError] + " " + problem);
        ok = problem.empty();
    }
    if (ok)
        ++tally_.transferred;
    else
        tally_.fail(task.source());
    if (awaitingWorkers_ && !workers_->busy()) {
        awaitingWorkers_ = false;
        next();
    }
}

// No second connection could be opened: this connection transfers the files itself.
void TransferChain::tasksReturned(std::vector<WorkerTask> tasks)
{
    for (auto it = tasks.rbegin(); it != tasks.rend(); ++it) {
        const WorkerTask& task = *it;
        if (task.upload)
            files_.push_front({task.localPath, task.remotePath, task.size, 0, false, true, task.resume});
        else
            files_.push_front(
                {task.remotePath, task.localPath, task.size, task.time, task.exactTime, true, task.resume});
    }
    EventLoop::instance().post([workers = std::move(workers_)] {});
    if (awaitingWorkers_) {
        awaitingWorkers_ = false;
        next();
    }
}

void TransferChain::wakeWhenIdle()
{
    awaitingWorkers_ = true;
}

// The end of the transfer: idle connections say goodbye, a file still under way (after Stop)
// counts as failed. The workers may be on the call stack: they go on the next loop round.
void TransferChain::stopWorkers()
{
    if (!workers_)
        return;
    workers_->quitIdle();
    for (const WorkerTask& task : workers_->shutdown())
        tally_.fail(task.source());
    EventLoop::instance().post([workers = std::move(workers_)] {});
    workers_.reset();
}

} // namespace brisk
