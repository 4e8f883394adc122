#include "session/queue_runner.h"

#include "platform/event_loop.h"
#include "platform/ticks.h"
#include "session/download_target.h"
#include "session/entry_names.h"
#include "session/remote_paths.h"

#include <sys/stat.h>

namespace brisk {

namespace {

bool partFileThere(const std::string& target)
{
    struct stat st {};
    return ::stat(PartFileOf(target).c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;
}

TransferJob jobOf(const WorkerTask& task, const QueueSite& site)
{
    return {task.upload ? TransferDirection::Upload : TransferDirection::Download, task.localPath,
            task.remotePath, task.size, site};
}

} // namespace

QueueRunner::QueueRunner(TransferQueue& queue, const MainMessages& msl, ProgressSink& progress,
                         std::function<void(const std::string&)> log)
    : queue_(queue), msl_(msl), log_(std::move(log)), progress_(progress)
{
    subscription_ = queue_.subscribe([this](const QueueChange& change) { queueChanged(change); });
}

QueueRunner::~QueueRunner()
{
    *alive_ = false;
    queue_.unsubscribe(subscription_);
    for (auto& pool : retiring_)
        pool->shutdown();
    if (pool_)
        pool_->shutdown();
}

void QueueRunner::attach(const TFtpClient& session, QueueSite site, int limit, int timeoutSeconds)
{
    retirePool();
    session_ = &session;
    site_ = std::move(site);
    limit_ = std::max(1, limit);
    timeout_ = timeoutSeconds;
    refused_ = false;
    postFeed();
}

void QueueRunner::detach()
{
    retirePool();
    session_ = nullptr;
}

uint64_t QueueRunner::enqueue(const WorkerTask& task)
{
    if (!session_)
        return 0;
    const uint64_t id = queue_.add(jobOf(task, site_));
    if (id != 0) {
        walked_[id] = task;
        processing_ = true;
    }
    return id;
}

void QueueRunner::process()
{
    processing_ = true;
    refused_ = false;
    postFeed();
}

// The pools end their connections at once; what they carried fails as stopped, its part file kept
// for a retry to resume.
void QueueRunner::stop()
{
    const bool before = !running_.empty();
    processing_ = false;
    if (pool_)
        pool_->shutdown();
    for (auto& pool : retiring_)
        pool->shutdown();
    retirePool();
    std::vector<std::pair<uint64_t, std::string>> stopped;
    for (const auto& [id, started] : running_)
        if (const QueueItem* item = queue_.find(id))
            stopped.emplace_back(id, item->job.direction == TransferDirection::Upload ? item->job.localPath
                                                                                         : item->job.remotePath);
    running_.clear();
    for (const auto& [id, source] : stopped)
        fail(id, source, msl_[xmsgStoppedByUser]);
    noteRunning(before);
    reportIfIdle();
}

int64_t QueueRunner::rate(uint64_t id) const
{
    const auto it = running_.find(id);
    if (it == running_.end())
        return 0;
    const uint64_t ms = tickCount() - it->second.ms;
    return ms == 0 ? 0 : (it->second.moved - it->second.bytes) * 1000 / int64_t(ms);
}

int64_t QueueRunner::totalRate() const
{
    int64_t sum = 0;
    for (const auto& [id, started] : running_)
        sum += rate(id);
    return sum;
}

void QueueRunner::queueChanged(const QueueChange& change)
{
    if (change.kind != QueueChange::Kind::Item)
        postFeed();
}

// Feeding runs from the loop: a queue change may come from inside the queue's own notification.
void QueueRunner::postFeed()
{
    if (feedPosted_)
        return;
    feedPosted_ = true;
    EventLoop::instance().post([this, alive = std::weak_ptr<bool>(alive_)] {
        if (alive.expired())
            return;
        feedPosted_ = false;
        feed();
    });
}

// Each connection gets one item at a time; the rest stay queued, where the pane shows them. The
// connections open with the first item, when the session has settled its login and certificate.
void QueueRunner::feed()
{
    if (!processing_ || !session_ || refused_ || !session_->Connected())
        return reportIfIdle();
    const bool before = !running_.empty();
    while (!pool_ || (pool_->limit() > 0 && pool_->load() < size_t(pool_->limit()))) {
        std::optional<QueueItem> item = queue_.takeNext(&site_);
        if (!item)
            break;
        if (!pool_)
            pool_ = makePool();
        if (!progressOpen_)
            progress_.open();
        progressOpen_ = true;
        running_[item->id] = {tickCount(), 0, 0};
        pool_->add(taskFor(*item));
    }
    noteRunning(before);
    reportIfIdle();
}

// An item the session's walk queued keeps what the walk knew; one read from the queue file gets
// its type from its name. A download that was started before goes on from its part file.
WorkerTask QueueRunner::taskFor(const QueueItem& item) const
{
    WorkerTask task;
    const auto walked = walked_.find(item.id);
    if (walked != walked_.end())
        task = walked->second;
    task.queueId = item.id;
    task.upload = item.job.direction == TransferDirection::Upload;
    task.localPath = item.job.localPath;
    task.remotePath = item.job.remotePath;
    task.size = item.job.size;
    task.attempts = 0;
    if (walked == walked_.end() && wantsAscii)
        task.ascii = wantsAscii(LastComponent(task.upload ? task.localPath : task.remotePath));
    if (item.attempts > 1)
        task.resume = !task.upload && partFileThere(task.localPath);
    return task;
}

std::shared_ptr<TransferWorkers> QueueRunner::makePool()
{
    auto pool = std::make_shared<TransferWorkers>(*session_, limit_, timeout_, progress_);
    LogPoolEvents(*pool, msl_, log_);
    pool->onFinished = [this](const TransferWorkers::Outcome& outcome) { finished(outcome); };
    pool->onReturned = [this](std::vector<WorkerTask> tasks) { returned(std::move(tasks)); };
    pool->onTaskProgress = [this](const WorkerTask& task, int64_t count) { progress(task, count); };
    // Resumed: the rate counts from where the file goes on.
    pool->onResuming = [this, logged = pool->onResuming](const WorkerTask& task) {
        logged(task);
        if (auto it = running_.find(task.queueId); it != running_.end())
            it->second = {tickCount(), it->second.moved, it->second.moved};
    };
    return pool;
}

// A pool whose session closed carries its files (those waiting for a connection too) to their end;
// it goes when it is idle.
void QueueRunner::retirePool()
{
    if (pool_) {
        pool_->quitIdle();
        retiring_.push_back(std::move(pool_));
    }
    dropIdleRetired();
}

void QueueRunner::dropIdleRetired()
{
    std::erase_if(retiring_, [](const auto& pool) {
        if (pool->busy())
            return false;
        pool->quitIdle();
        EventLoop::instance().post([pool] {});   // it may be on the call stack
        return true;
    });
}

void QueueRunner::progress(const WorkerTask& task, int64_t count)
{
    const auto it = running_.find(task.queueId);
    if (it == running_.end())
        return;
    if (it->second.moved == 0 && task.resume)
        it->second.bytes = count;   // the first report of a resume is where it began
    it->second.moved = count;
    queue_.reportProgress(task.queueId, count);
}

// A download is committed as on the session's connection: complete, its size checked, its time
// set. An item removed from the queue meanwhile keeps its part file and is not committed.
void QueueRunner::finished(const TransferWorkers::Outcome& outcome)
{
    const WorkerTask& task = outcome.task;
    const QueueItem* item = queue_.find(task.queueId);
    const bool before = !running_.empty();
    const bool ours = running_.erase(task.queueId) != 0 && item && item->state == QueueState::Running;
    if (ours) {
        std::string reason = outcome.ok ? std::string() : outcome.failure;
        if (outcome.ok && !task.upload)
            reason = CommitDownload(msl_, task.localPath, ExpectedDownloadSize(!task.ascii, task.size),
                                    outcome.remoteTime > 0 ? outcome.remoteTime : task.time);
        if (reason.empty()) {
            queue_.finishDone(task.queueId);
            walked_.erase(task.queueId);
            ++tally_.transferred;
            (task.upload ? uploaded_ : downloaded_) = true;
        } else {
            fail(task.queueId, task.source(), reason);
        }
    }
    noteRunning(before);
    dropIdleRetired();
    postFeed();
}

// The server took no connection at all: these items fail with that reason, and the rest of the
// site's items wait until the site is opened again or the queue is processed again.
void QueueRunner::returned(std::vector<WorkerTask> tasks)
{
    const bool before = !running_.empty();
    for (const WorkerTask& task : tasks) {
        running_.erase(task.queueId);
        fail(task.queueId, task.source(), msl_[xmsgNoConnection]);
    }
    noteRunning(before);
    refused_ = true;
    retirePool();
}

void QueueRunner::fail(uint64_t id, const std::string& source, const std::string& reason)
{
    queue_.finishFailed(id, reason);
    tally_.fail(source);
    log_(FailedText(msl_, source) + " " + reason);
}

void QueueRunner::noteRunning(bool before)
{
    if (before != !running_.empty() && onRunningChanged)
        onRunningChanged();
}

// The closing line of what ran since the queue was last idle.
void QueueRunner::reportIfIdle()
{
    if (!running_.empty())
        return;
    if (progressOpen_)
        progress_.close();
    progressOpen_ = false;
    if (tally_.transferred == 0 && tally_.failed == 0)
        return;
    if (onIdle)
        onIdle(uploaded_, downloaded_);
    uploaded_ = downloaded_ = false;
    log_(msl_[xmsgTransferFinished] + " " + std::to_string(tally_.transferred) + " " + msl_[xmsgTransferred] +
         ", " + std::to_string(tally_.skipped) + " " + msl_[xmsgSkipped] + ", " + std::to_string(tally_.failed) +
         " " + msl_[xmsgFailed]);
    tally_ = {};
}

} // namespace brisk
