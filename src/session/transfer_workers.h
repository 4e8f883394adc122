#pragma once
#include "i18n/main_messages.h"
#include "session/transfer_worker.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace brisk {

class ProgressSink;

// Up to `limit` connections of their own, each transferring one file at a time from a shared
// queue, while the session's connection walks the tree. Connections open as work arrives. When
// the server refuses one, the limit falls to the connections it did accept; a connection lost
// during a file is opened again and the file resumed, up to kAttempts transfers in all.
class TransferWorkers {
public:
    static constexpr int kAttempts = 3;

    struct Outcome {
        WorkerTask task;
        bool ok = false;
        std::string failure;      // the server's or the connection's reason
        int64_t remoteTime = 0;   // a download's MDTM time, 0 when none was asked or given
        int64_t bytes = 0;        // what the last transfer of it moved
        bool renameFailed = false; // an upload arrived whole under its temporary name, not renamed
    };

    // `session` is the logged-in session whose settings and certificate the connections take.
    TransferWorkers(const TFtpClient& session, int limit, int timeoutSeconds, ProgressSink& progress);
    ~TransferWorkers();
    TransferWorkers(const TransferWorkers&) = delete;
    TransferWorkers& operator=(const TransferWorkers&) = delete;

    std::function<void(const Outcome&)> onFinished;  // each task ends here once, unless shut down
    // No connection could be opened at all: the tasks not started go back to the caller.
    std::function<void(std::vector<WorkerTask>)> onReturned;
    std::function<void(const std::string&)> log;
    std::function<bool()> stopRequested;
    // The limit fell to `limit` after the server refused a connection.
    std::function<void(int limit)> onLimitLowered;
    // A connection was lost during `task`, which waits to be resumed.
    std::function<void(const WorkerTask& task)> onResuming;
    // The server refused `task` for now (a 4xx reply): it waits to be tried again.
    std::function<void(const WorkerTask& task)> onRetrying;
    // Bytes of `task` so far, from whichever connection carries it.
    std::function<void(const WorkerTask& task, int64_t count)> onTaskProgress;

    void add(WorkerTask task);
    bool busy() const;
    // Tasks under way or waiting here.
    size_t load() const;
    int limit() const { return limit_; }
    // Ends every connection at once; the tasks under way are returned, the queued ones dropped.
    std::vector<WorkerTask> shutdown();
    // Stop: nothing queued starts; the files under way go on.
    void dropQueued();
    // QUIT on each idle connection, for the end of the work.
    void quitIdle();

private:
    struct Slot {
        std::unique_ptr<TransferWorker> worker;
        WorkerTask task;
        bool loggedIn = false;
        bool working = false;   // opening, or running `task`
        int number = 0;
    };

    void dispatch();
    void startOn(Slot& slot);
    void opened(Slot& slot, bool ok);
    void ran(Slot& slot, bool ok);
    void refused(Slot& slot);
    void retire(Slot& slot);
    Slot* idleSlot();
    Slot& newSlot();

    const TFtpClient& session_;
    std::string sessionFingerprint_;
    int limit_;
    int timeout_;
    ProgressSink& progress_;
    std::deque<WorkerTask> queue_;
    std::vector<std::unique_ptr<Slot>> slots_;
    int nextNumber_ = 1;
    const Slot* shown_ = nullptr;   // the connection whose file the progress shows
};

// The pool's lines and events go to `log`: the connections' dialogue, a lowered limit, a file resumed
// after a lost connection and one tried again after a 4xx reply.
void LogPoolEvents(TransferWorkers& pool, const MainMessages& msl, std::function<void(const std::string&)> log);

} // namespace brisk
