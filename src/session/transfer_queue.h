#pragma once
#include "session/transfer_job.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace brisk {

enum class QueueState : uint8_t { Queued, Running, Failed, Done, Skipped };

struct QueueItem {
    uint64_t id = 0;     // never reused within a queue, kept across saves
    TransferJob job;
    QueueState state = QueueState::Queued;
    std::string failure; // the server's text, only while failed
    int64_t moved = 0;   // bytes moved by the last attempt, as the worker last reported
    int attempts = 0;

    bool operator==(const QueueItem&) const = default;
};

// The pane's three lists. Queued shows running items too; Successful shows done and skipped
// items (a skipped file needed nothing done). Each keeps the queue's order.
enum class QueueView : uint8_t { Queued, Failed, Successful };

struct QueueCounts {
    size_t queued = 0, running = 0, failed = 0, done = 0, skipped = 0;
    size_t inView(QueueView view) const;
};

// Bytes moved out of all bytes; an item of unknown size counts what it moved.
struct QueueTotals {
    int64_t bytes = 0;
    int64_t moved = 0;
};

// Added: `count` items appended at the end (rows appended to the Queued view only). Item: one
// item changed while every row stays where it was (progress, a start). Rows: anything else.
struct QueueChange {
    enum class Kind : uint8_t { Added, Item, Rows } kind = Kind::Rows;
    uint64_t id = 0;     // Item
    size_t count = 0;    // Added
};

// The transfer queue: items in the order workers take them, three views over them, and the
// notifications a pane model and the queue file hang on. No call costs more than one pass over
// the queue; adding and progress cost nothing in its length, row access one pass after each
// change of rows.
class TransferQueue {
public:
    static constexpr size_t kMaxItems = 1'000'000;
    using Observer = std::function<void(const QueueChange&)>;

    // A handle for unsubscribe.
    size_t subscribe(Observer observer);
    void unsubscribe(size_t handle);

    // The new item's id, or 0 when JobFault refuses the job or the queue is full.
    uint64_t add(TransferJob job);
    // One id per job, 0 for each refused; one notification for the batch.
    std::vector<uint64_t> add(std::vector<TransferJob> jobs);
    // Running items too: their worker's reports are then ignored.
    void remove(const std::vector<uint64_t>& ids);
    // The moved items keep their order among themselves.
    void moveToTop(const std::vector<uint64_t>& ids);
    void moveToBottom(const std::vector<uint64_t>& ids);
    // Failed items back to queued, the reason cleared; other ids are ignored.
    void retry(const std::vector<uint64_t>& ids);
    void retryAllFailed();
    // Removes done and skipped items.
    void clearSuccessful();
    // Replaces everything, as read from the queue file; running items come back queued.
    void restore(std::vector<QueueItem> items, uint64_t nextId);

    // The first queued item (for `site` only, when given), now running with one attempt more.
    std::optional<QueueItem> takeNext(const QueueSite* site = nullptr);
    // A worker's reports on a running item; false (nothing changes) for any other id.
    bool reportProgress(uint64_t id, int64_t moved);
    bool finishDone(uint64_t id);
    bool finishSkipped(uint64_t id);
    // The reason loses any NUL byte and is cut to QueueLimits::Failure bytes.
    bool finishFailed(uint64_t id, std::string reason);
    // The worker stopped or lost its connection: the item waits again at its place.
    bool putBack(uint64_t id);

    const std::vector<QueueItem>& items() const { return items_; }
    uint64_t nextId() const { return nextId_; }
    const QueueItem* find(uint64_t id) const;
    size_t rowCount(QueueView view) const;
    const QueueItem& row(QueueView view, size_t index) const;
    std::optional<size_t> rowOf(QueueView view, uint64_t id) const;
    QueueCounts counts() const;
    QueueTotals totals() const;

private:
    uint64_t append(TransferJob&& job);
    QueueItem* running(uint64_t id);
    bool finish(uint64_t id, QueueState state, std::string reason);
    void reorder(const std::vector<uint64_t>& ids, bool toTop);
    void changedRows();    // order or membership changed
    void changedViews();   // only states changed
    void notify(const QueueChange& change);
    void buildViews() const;

    std::vector<QueueItem> items_;
    std::unordered_map<uint64_t, size_t> positions_;
    uint64_t nextId_ = 1;
    size_t firstQueued_ = 0;   // no queued item before this position
    std::vector<std::pair<size_t, Observer>> observers_;
    size_t nextHandle_ = 1;

    // Built on the first access after a change of rows; items added at the end are appended.
    mutable bool viewsStale_ = false;
    mutable std::array<std::vector<uint32_t>, 3> views_;
    mutable std::vector<uint32_t> rowInView_;   // per position
    mutable QueueCounts counts_;
};

} // namespace brisk
