#pragma once
#include "i18n/main_messages.h"
#include "platform/progress_sink.h"
#include "session/transfer_item.h"
#include "session/transfer_queue.h"
#include "session/transfer_workers.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace brisk {

// Runs the transfer queue on connections of its own, so that the session's connection stays free
// for browsing. Items start while a session to their site is open, on up to `limit` connections
// that log in as that session did; each ends done, or failed with the reason. Stop puts the items
// under way back in the queue, and they resume from their part files when processed again.
class QueueRunner {
public:
    // `progress` shows the file of one connection while items run.
    QueueRunner(TransferQueue& queue, const MainMessages& msl, ProgressSink& progress,
                std::function<void(const std::string&)> log);
    ~QueueRunner();
    QueueRunner(const QueueRunner&) = delete;
    QueueRunner& operator=(const QueueRunner&) = delete;

    // ASCII or binary for a file the queue knows only by name (one read from the queue file).
    std::function<bool(const std::string& name)> wantsAscii;
    // Nothing runs any more after some items ended: whether files were uploaded and downloaded,
    // so the panels show what arrived.
    std::function<void(bool uploaded, bool downloaded)> onIdle;
    // The first item started, or the last one under way ended: what Stop can end changed.
    std::function<void()> onRunningChanged;

    // The session is open to `site`: its items may start, on connections modelled on `session`.
    void attach(const TFtpClient& session, QueueSite site, int limit, int timeoutSeconds);
    // The session closed: the files under way go on, nothing new starts.
    void detach();
    // A file the session's transfer walked to, past its overwrite check. 0 when the queue refused it.
    uint64_t enqueue(const WorkerTask& task);

    // Process and Stop of the queue pane. Stop aborts the files under way, which fail as stopped (a
    // retry resumes them) and leaves the rest queued; a file queued by the user processes again.
    void process();
    void stop();
    bool processing() const { return processing_; }
    // Items under way.
    size_t running() const { return running_.size(); }

    // Bytes per second of a running item since its start, 0 for any other; their sum.
    int64_t rate(uint64_t id) const;
    int64_t totalRate() const;

private:
    struct Started {
        uint64_t ms = 0;
        int64_t bytes = 0;   // where this attempt began (a resume begins past 0)
        int64_t moved = 0;
    };

    void queueChanged(const QueueChange& change);
    void postFeed();
    void feed();
    WorkerTask taskFor(const QueueItem& item) const;
    void finished(const TransferWorkers::Outcome& outcome);
    void returned(std::vector<WorkerTask> tasks);
    void progress(const WorkerTask& task, int64_t count);
    void ended(uint64_t id);
    void fail(uint64_t id, const std::string& source, const std::string& reason);
    std::shared_ptr<TransferWorkers> makePool();
    void retirePool();
    void dropIdleRetired();
    void reportIfIdle();
    void noteRunning(bool before);

    TransferQueue& queue_;
    const MainMessages& msl_;
    std::function<void(const std::string&)> log_;
    size_t subscription_ = 0;
    const TFtpClient* session_ = nullptr;
    QueueSite site_;
    int limit_ = 1;
    int timeout_ = 15;
    bool processing_ = true;
    bool refused_ = false;       // the site took no connection at all: nothing more until it is opened again
    bool feedPosted_ = false;
    std::shared_ptr<TransferWorkers> pool_;
    std::vector<std::shared_ptr<TransferWorkers>> retiring_;   // still carrying files of a closed session
    std::unordered_map<uint64_t, WorkerTask> walked_;          // what the session's walk knew of an item
    std::unordered_map<uint64_t, Started> running_;
    TransferTally tally_;                                      // since the queue was last idle
    bool uploaded_ = false, downloaded_ = false;               // the same
    ProgressSink& progress_;
    bool progressOpen_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisk
