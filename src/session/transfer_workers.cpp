#include "session/transfer_workers.h"

#include "platform/event_loop.h"
#include "platform/progress_sink.h"
#include "session/log_pane.h"

#include <algorithm>
#include <cctype>

namespace brisk {

TransferWorkers::TransferWorkers(const TFtpClient& session, int limit, int timeoutSeconds, ProgressSink& progress)
    : session_(session), limit_(std::max(1, limit)), timeout_(timeoutSeconds), progress_(progress)
{
    if (session.Security != ftpSecurityPlain)
        sessionFingerprint_ = session.ControlSocket().PeerCertificate().details.fingerprint;
}

TransferWorkers::~TransferWorkers() = default;

size_t TransferWorkers::load() const
{
    return queue_.size() +
           size_t(std::count_if(slots_.begin(), slots_.end(), [](const auto& slot) { return slot->working; }));
}

void TransferWorkers::add(WorkerTask task)
{
    queue_.push_back(std::move(task));
    dispatch();
}

bool TransferWorkers::busy() const
{
    return !queue_.empty() ||
           std::any_of(slots_.begin(), slots_.end(), [](const auto& slot) { return slot->working; });
}

// Each queued task goes to an idle logged-in connection, else to a new one while the limit allows.
void TransferWorkers::dispatch()
{
    while (!queue_.empty()) {
        Slot* slot = idleSlot();
        if (!slot && int(slots_.size()) < limit_)
            slot = &newSlot();
        if (!slot)
            return;
        slot->task = std::move(queue_.front());
        queue_.pop_front();
        startOn(*slot);
    }
}

// A logged-in connection first; one that was lost is opened again.
TransferWorkers::Slot* TransferWorkers::idleSlot()
{
    Slot* lost = nullptr;
    for (auto& slot : slots_) {
        if (slot->working)
            continue;
        if (slot->loggedIn && slot->worker->connected())
            return slot.get();
        lost = slot.get();
    }
    return lost;
}

TransferWorkers::Slot& TransferWorkers::newSlot()
{
    auto slot = std::make_unique<Slot>();
    slot->number = nextNumber_++;
    slot->worker = std::make_unique<TransferWorker>(session_, sessionFingerprint_, timeout_);
    slot->worker->onDisplay = [this, number = slot->number](const std::string& text) {
        if (log)
            log("[" + std::to_string(number) + "] " + LogPane::DisplayFilter(text));
    };
    slot->worker->stopRequested = [this] { return stopRequested && stopRequested(); };
    slot->worker->onProgress = [this, shown = slot.get()](int64_t count) {
        if (shown_ == shown)
            progress_.update(count);
        if (onTaskProgress)
            onTaskProgress(shown->task, count);
    };
    slots_.push_back(std::move(slot));
    return *slots_.back();
}

// A connection that was lost is opened again first.
void TransferWorkers::startOn(Slot& slot)
{
    slot.working = true;
    if (!slot.loggedIn || !slot.worker->connected()) {
        slot.loggedIn = false;
        return slot.worker->open([this, &slot](bool ok) { opened(slot, ok); });
    }
    ++slot.task.attempts;
    if (!shown_ || !shown_->working) {
        shown_ = &slot;
        progress_.startFile(slot.task.source(), slot.task.size, slot.task.upload);
    }
    slot.worker->run(slot.task, [this, &slot](bool ok) { ran(slot, ok); });
}

void TransferWorkers::opened(Slot& slot, bool ok)
{
    if (!ok)
        return refused(slot);
    slot.loggedIn = true;
    startOn(slot);
}

// The server would not take this connection (too many from this address, say): the limit becomes
// the connections it took or may still take, and the task waits for one of those. With none left
// the session's own connection does the work.
void TransferWorkers::refused(Slot& slot)
{
    if (log)
        log("[" + std::to_string(slot.number) + "] " + slot.worker->failure());
    queue_.push_front(std::move(slot.task));
    retire(slot);
    if (int(slots_.size()) < limit_) {
        limit_ = int(slots_.size());
        if (onLimitLowered && limit_ > 0)
            onLimitLowered(limit_);
    }
    if (limit_ > 0)
        return dispatch();
    std::vector<WorkerTask> rest(std::make_move_iterator(queue_.begin()), std::make_move_iterator(queue_.end()));
    queue_.clear();
    if (onReturned)
        onReturned(std::move(rest));
}

namespace {

bool transientReply(const std::string& failure)
{
    return failure.size() >= 4 && failure[0] == '4' && std::isdigit((unsigned char)failure[1]) &&
           std::isdigit((unsigned char)failure[2]) && failure[3] == ' ';
}

} // namespace

void TransferWorkers::ran(Slot& slot, bool ok)
{
    slot.working = false;
    WorkerTask task = std::move(slot.task);
    if (shown_ == &slot) {
        progress_.endFile();
        shown_ = nullptr;
    }
    const bool lost = !ok && !slot.worker->connected();
    const bool again = !ok && !slot.worker->renameFailed() && !(stopRequested && stopRequested()) &&
                       task.attempts < kAttempts;
    if (lost && again) {
        task.resume = true;
        if (onResuming)
            onResuming(task);
        queue_.push_front(std::move(task));
        slot.loggedIn = false;
        return dispatch();
    }
    // A 4xx reply says the failure was passing (a data connection the server could not set up
    // while others were busy, say): the file is tried again, from what arrived.
    if (again && transientReply(slot.worker->failure())) {
        task.resume = task.resume || slot.worker->engine().ByteCount > 0;
        if (onRetrying)
            onRetrying(task);
        queue_.push_front(std::move(task));
        return dispatch();
    }
    Outcome outcome{std::move(task), ok, ok ? std::string() : slot.worker->failure(),
                    ok ? slot.worker->engine().RemoteModified() : 0, slot.worker->engine().ByteCount,
                    !ok && slot.worker->renameFailed()};
    if (onFinished)
        onFinished(outcome);
    dispatch();
}

// The worker may be inside its own callback: it is destroyed on the next loop round, and reports
// nothing meanwhile.
void TransferWorkers::retire(Slot& slot)
{
    if (shown_ == &slot)
        shown_ = nullptr;
    std::shared_ptr<TransferWorker> doomed = std::move(slot.worker);
    doomed->detach();
    slots_.erase(std::find_if(slots_.begin(), slots_.end(), [&slot](const auto& s) { return s.get() == &slot; }));
    EventLoop::instance().post([doomed] {});
}

void TransferWorkers::dropQueued()
{
    queue_.clear();
}

std::vector<WorkerTask> TransferWorkers::shutdown()
{
    std::vector<WorkerTask> running;
    queue_.clear();
    while (!slots_.empty()) {
        Slot& slot = *slots_.back();
        if (slot.working && slot.loggedIn)
            running.push_back(std::move(slot.task));
        retire(slot);
    }
    return running;
}

void TransferWorkers::quitIdle()
{
    for (auto& slot : slots_)
        if (!slot->working)
            slot->worker->quit();
}

void LogPoolEvents(TransferWorkers& pool, const MainMessages& msl, std::function<void(const std::string&)> log)
{
    pool.log = log;
    pool.onLimitLowered = [&msl, log](int limit) {
        log(FormatMessage(msl[xmsgConnectionsLowered], {std::to_string(limit)}));
    };
    pool.onResuming = [&msl, log](const WorkerTask& task) { log(FormatMessage(msl[xmsgResuming], {task.source()})); };
    pool.onRetrying = [&msl, log](const WorkerTask& task) { log(FormatMessage(msl[xmsgTriedAgain], {task.source()})); };
}

} // namespace brisk
