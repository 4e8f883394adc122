#include "session/transfer_queue.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <unordered_set>

namespace brisk {
namespace {

QueueView viewOf(QueueState state)
{
    switch (state) {
    case QueueState::Queued:
    case QueueState::Running: return QueueView::Queued;
    case QueueState::Failed: return QueueView::Failed;
    default: return QueueView::Successful;
    }
}

void countState(QueueCounts& counts, QueueState state)
{
    switch (state) {
    case QueueState::Queued: ++counts.queued; break;
    case QueueState::Running: ++counts.running; break;
    case QueueState::Failed: ++counts.failed; break;
    case QueueState::Done: ++counts.done; break;
    case QueueState::Skipped: ++counts.skipped; break;
    }
}

// Sizes come from files and servers: a sum past the largest number stays there.
int64_t cappedSum(int64_t a, int64_t b)
{
    int64_t sum = 0;
    return __builtin_add_overflow(a, b, &sum) ? INT64_MAX : sum;
}

// At most `bytes` bytes, never cutting a UTF-8 character in two.
std::string cutText(std::string text, size_t bytes)
{
    if (text.size() <= bytes)
        return text;
    while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80)
        --bytes;
    text.resize(bytes);
    return text;
}

} // namespace

size_t QueueCounts::inView(QueueView view) const
{
    switch (view) {
    case QueueView::Queued: return queued + running;
    case QueueView::Failed: return failed;
    default: return done + skipped;
    }
}

size_t TransferQueue::subscribe(Observer observer)
{
    observers_.emplace_back(nextHandle_, std::move(observer));
    return nextHandle_++;
}

void TransferQueue::unsubscribe(size_t handle)
{
    std::erase_if(observers_, [handle](const auto& entry) { return entry.first == handle; });
}

void TransferQueue::notify(const QueueChange& change)
{
    const auto observers = observers_;   // an observer may unsubscribe while it is told
    for (const auto& entry : observers)
        entry.second(change);
}

uint64_t TransferQueue::add(TransferJob job)
{
    std::vector<TransferJob> one;
    one.push_back(std::move(job));
    return add(std::move(one)).front();
}

std::vector<uint64_t> TransferQueue::add(std::vector<TransferJob> jobs)
{
    std::vector<uint64_t> ids(jobs.size(), 0);
    size_t added = 0;
    for (size_t i = 0; i < jobs.size(); ++i)
        if (items_.size() < kMaxItems && !JobFault(jobs[i])) {
            ids[i] = append(std::move(jobs[i]));
            ++added;
        }
    if (added)
        notify({QueueChange::Kind::Added, 0, added});
    return ids;
}

uint64_t TransferQueue::append(TransferJob&& job)
{
    const size_t position = items_.size();
    QueueItem& item = items_.emplace_back();
    item.id = nextId_++;
    item.job = std::move(job);
    positions_.emplace(item.id, position);
    if (!viewsStale_) {
        auto& queued = views_[size_t(QueueView::Queued)];
        rowInView_.push_back(uint32_t(queued.size()));
        queued.push_back(uint32_t(position));
        ++counts_.queued;
    }
    return item.id;
}

void TransferQueue::changedRows()
{
    positions_.clear();
    for (size_t i = 0; i < items_.size(); ++i)
        positions_.emplace(items_[i].id, i);
    firstQueued_ = 0;
    changedViews();
}

void TransferQueue::changedViews()
{
    viewsStale_ = true;
    notify({QueueChange::Kind::Rows});
}

void TransferQueue::remove(const std::vector<uint64_t>& ids)
{
    const std::unordered_set<uint64_t> gone(ids.begin(), ids.end());
    std::erase_if(items_, [&gone](const QueueItem& item) { return gone.count(item.id) != 0; });
    changedRows();
}

void TransferQueue::reorder(const std::vector<uint64_t>& ids, bool toTop)
{
    const std::unordered_set<uint64_t> moved(ids.begin(), ids.end());
    std::stable_partition(items_.begin(), items_.end(),
                          [&moved, toTop](const QueueItem& item) { return (moved.count(item.id) != 0) == toTop; });
    changedRows();
}

void TransferQueue::moveToTop(const std::vector<uint64_t>& ids)
{
    reorder(ids, true);
}

void TransferQueue::moveToBottom(const std::vector<uint64_t>& ids)
{
    reorder(ids, false);
}

void TransferQueue::retry(const std::vector<uint64_t>& ids)
{
    for (const uint64_t id : ids)
        if (auto it = positions_.find(id); it != positions_.end() && items_[it->second].state == QueueState::Failed) {
            items_[it->second].state = QueueState::Queued;
            items_[it->second].failure.clear();
            firstQueued_ = std::min(firstQueued_, it->second);
        }
    changedViews();
}

void TransferQueue::retryAllFailed()
{
    std::vector<uint64_t> failed;
    for (const QueueItem& item : items_)
        if (item.state == QueueState::Failed)
            failed.push_back(item.id);
    retry(failed);
}

void TransferQueue::clearSuccessful()
{
    std::erase_if(items_, [](const QueueItem& item) { return viewOf(item.state) == QueueView::Successful; });
    changedRows();
}

void TransferQueue::restore(std::vector<QueueItem> items, uint64_t nextId)
{
    items_ = std::move(items);
    nextId_ = nextId;
    for (QueueItem& item : items_)
        if (item.state == QueueState::Running)
            item.state = QueueState::Queued;
    changedRows();
}

std::optional<QueueItem> TransferQueue::takeNext(const QueueSite* site)
{
    while (firstQueued_ < items_.size() && items_[firstQueued_].state != QueueState::Queued)
        ++firstQueued_;
    for (size_t i = firstQueued_; i < items_.size(); ++i) {
        QueueItem& item = items_[i];
        if (item.state != QueueState::Queued || (site && item.job.site != *site))
            continue;
        item.state = QueueState::Running;
        item.attempts += item.attempts < std::numeric_limits<int>::max();   // the count may come from a file
        if (!viewsStale_) {
            --counts_.queued;
            ++counts_.running;
        }
        QueueItem taken = item;   // an observer may change the queue
        notify({QueueChange::Kind::Item, taken.id});
        return taken;
    }
    return std::nullopt;
}

QueueItem* TransferQueue::running(uint64_t id)
{
    const auto it = positions_.find(id);
    if (it == positions_.end() || items_[it->second].state != QueueState::Running)
        return nullptr;
    return &items_[it->second];
}

bool TransferQueue::reportProgress(uint64_t id, int64_t moved)
{
    QueueItem* item = running(id);
    if (!item || moved < 0)
        return false;
    item->moved = moved;
    notify({QueueChange::Kind::Item, id});
    return true;
}

bool TransferQueue::finish(uint64_t id, QueueState state, std::string reason)
{
    QueueItem* item = running(id);
    if (!item)
        return false;
    item->state = state;
    item->failure = std::move(reason);
    if (state == QueueState::Queued)
        firstQueued_ = std::min(firstQueued_, positions_[id]);
    changedViews();
    return true;
}

bool TransferQueue::finishDone(uint64_t id)
{
    return finish(id, QueueState::Done, {});
}

bool TransferQueue::finishSkipped(uint64_t id)
{
    return finish(id, QueueState::Skipped, {});
}

bool TransferQueue::finishFailed(uint64_t id, std::string reason)
{
    std::erase(reason, '\0');   // the queue file refuses NUL bytes
    return finish(id, QueueState::Failed, cutText(std::move(reason), QueueLimits::Failure));
}

bool TransferQueue::putBack(uint64_t id)
{
    return finish(id, QueueState::Queued, {});
}

const QueueItem* TransferQueue::find(uint64_t id) const
{
    const auto it = positions_.find(id);
    return it == positions_.end() ? nullptr : &items_[it->second];
}

void TransferQueue::buildViews() const
{
    if (!viewsStale_)
        return;
    for (auto& view : views_)
        view.clear();
    rowInView_.resize(items_.size());
    counts_ = {};
    for (size_t i = 0; i < items_.size(); ++i) {
        auto& view = views_[size_t(viewOf(items_[i].state))];
        rowInView_[i] = uint32_t(view.size());
        view.push_back(uint32_t(i));
        countState(counts_, items_[i].state);
    }
    viewsStale_ = false;
}

size_t TransferQueue::rowCount(QueueView view) const
{
    buildViews();
    return views_[size_t(view)].size();
}

const QueueItem& TransferQueue::row(QueueView view, size_t index) const
{
    buildViews();
    return items_[views_[size_t(view)].at(index)];
}

std::optional<size_t> TransferQueue::rowOf(QueueView view, uint64_t id) const
{
    const auto it = positions_.find(id);
    if (it == positions_.end() || viewOf(items_[it->second].state) != view)
        return std::nullopt;
    buildViews();
    return rowInView_[it->second];
}

QueueCounts TransferQueue::counts() const
{
    buildViews();
    return counts_;
}

QueueTotals TransferQueue::totals() const
{
    QueueTotals totals;
    for (const QueueItem& item : items_) {
        totals.bytes = cappedSum(totals.bytes, item.job.size >= 0 ? item.job.size : item.moved);
        totals.moved = cappedSum(totals.moved, item.moved);
    }
    return totals;
}

} // namespace brisk
