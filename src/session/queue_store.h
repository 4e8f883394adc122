#pragma once
#include "platform/interval_timer.h"
#include "session/transfer_queue_file.h"

#include <string>

namespace brisk {

// The transfer queue's file for one running copy of the program: claimed with a lock so that a
// second copy never runs or overwrites the same items, saved a moment after each change of rows
// or states (not on every progress report), and at the end.
class QueueStore {
public:
    explicit QueueStore(TransferQueue& queue, std::string path = QueueFilePath());
    ~QueueStore();
    QueueStore(const QueueStore&) = delete;
    QueueStore& operator=(const QueueStore&) = delete;

    // Takes the file for this copy; false when another copy holds it, and then this copy's queue
    // lives in memory only.
    bool claim();
    bool claimed() const { return lock_ >= 0; }
    // Fills the queue from the claimed file.
    QueueLoadResult load();
    // Writes a pending change now; false when it could not be written.
    bool flush();

private:
    static constexpr uint64_t kSaveDelayMs = 1000;

    TransferQueue& queue_;
    std::string path_;
    int lock_ = -1;
    size_t subscription_ = 0;
    bool dirty_ = false;
    IntervalTimer timer_;
};

} // namespace brisk
