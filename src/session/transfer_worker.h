#pragma once
#include "ftp/ftp_client.h"
#include "platform/interval_timer.h"
#include "platform/ticks.h"
#include "session/worker_task.h"

#include <functional>
#include <memory>
#include <string>

namespace brisk {

// A connection of its own that transfers files one at a time, by absolute path, for a transfer
// that runs several at once. It logs in as the session did; a TLS certificate is accepted only
// when it is the one the user accepted for the session, so nobody is asked twice. A request that
// hears nothing from the server for the time-out ends as a lost connection.
class TransferWorker {
public:
    using Done = std::function<void(bool ok)>;

    // `session` lends its address, login, proxy, TLS and pace settings.
    TransferWorker(const TFtpClient& session, std::string sessionFingerprint, int timeoutSeconds);
    TransferWorker(const TransferWorker&) = delete;
    TransferWorker& operator=(const TransferWorker&) = delete;
    ~TransferWorker();

    std::function<void(const std::string&)> onDisplay;   // the engine's lines, for the log
    std::function<bool()> stopRequested;                  // aborts the data transfer under way
    std::function<void(int64_t count)> onProgress;        // bytes of the file so far

    // Connects and logs in.
    void open(Done done);
    // The transfer type the task wants, then the file; a download goes to the target's part file.
    void run(const WorkerTask& task, Done done);
    // QUIT, for a worker whose work is done; nothing is reported.
    void quit();
    // Reports nothing more, whatever is under way.
    void detach();

    bool connected() const { return ftp_.Connected(); }
    bool busy() const { return static_cast<bool>(done_); }
    const TFtpClient& engine() const { return ftp_; }
    // What the last failed request's server or connection said.
    const std::string& failure() const { return failure_; }
    // After a failed run: the file arrived whole, the rename failed.
    bool renameFailed() const { return renameStep_; }

private:
    void requestDone(TFtpRequest kind, uint16_t error);
    void startTransfer();
    void startRename();
    static constexpr uint64_t kSettleMs = 200;

    void begin(Done done);
    void settleFailure();
    void finish(bool ok);
    void heard() { lastHeard_ = tickCount(); }
    void watch();

    TFtpClient ftp_;
    std::string sessionFingerprint_;
    WorkerTask task_;
    bool typeStep_ = false;     // the TYPE before the transfer is under way
    bool renameStep_ = false;   // the upload is complete, its rename under way (or refused)
    Done done_;
    std::string failure_;
    int timeoutSeconds_;
    uint64_t lastHeard_ = 0;
    bool timedOut_ = false;
    IntervalTimer watchdog_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisk
