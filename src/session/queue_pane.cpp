#include "session/queue_pane.h"

#include "listing/size_display.h"
#include "session/progress_figures.h"

namespace brisk {

namespace {

std::string sizeText(int64_t bytes)
{
    return bytes < 0 ? std::string() : FormatSizeForDisplay(std::to_string(bytes), SizeDisplay::Binary);
}

std::string percent(int64_t part, int64_t whole)
{
    return whole <= 0 ? std::string() : std::to_string(std::min<int64_t>(100, part * 100 / whole)) + "%";
}

std::string progressText(const QueueItem& item)
{
    switch (item.state) {
    case QueueState::Running:
        return item.job.size > 0 ? percent(item.moved, item.job.size) : sizeText(item.moved);
    case QueueState::Done:
        return "100%";
    case QueueState::Skipped:
        return "skipped";
    default:
        return item.moved > 0 && item.job.size > 0 ? percent(item.moved, item.job.size) : std::string();
    }
}

} // namespace

std::string QueuePane::tabCaption(QueueView view) const
{
    return std::string(kTabs[size_t(view)]) + " (" + std::to_string(queue_.rowCount(view)) + ")";
}

std::string QueuePane::cell(QueueView view, size_t row, QueueColumn column) const
{
    const QueueItem& item = queue_.row(view, row);
    const bool upload = item.job.direction == TransferDirection::Upload;
    switch (column) {
    case QueueColumn::Direction:
        return upload ? "Upload" : "Download";
    case QueueColumn::Local:
        return item.job.localPath;
    case QueueColumn::Remote:
        return (item.job.site.storedSite.empty() ? item.job.site.host : item.job.site.storedSite) + ":" +
               item.job.remotePath;
    case QueueColumn::Size:
        return sizeText(item.job.size);
    case QueueColumn::Progress:
        return progressText(item);
    case QueueColumn::Rate:
        return item.state == QueueState::Running ? ProgressFigures::FormatRate(runner_.rate(item.id), "K/sec")
                                                 : std::string();
    case QueueColumn::Reason:
        return item.failure;
    }
    return {};
}

std::string QueuePane::totalsText() const
{
    const QueueCounts counts = queue_.counts();
    if (counts.queued + counts.running == 0)
        return {};
    const QueueTotals totals = queue_.totals();
    const int64_t rate = runner_.totalRate();
    std::string text = sizeText(totals.moved) + " of " + sizeText(totals.bytes);
    if (totals.bytes > 0)
        text += " (" + percent(totals.moved, totals.bytes) + ")";
    text += ", " + ProgressFigures::FormatRate(rate, "K/sec");
    if (rate > 0 && totals.bytes > totals.moved)
        text += ", " + ProgressFigures::FormatDuration((totals.bytes - totals.moved) / rate) + " left";
    return text;
}

bool QueuePane::enabled(QueueCommand command, QueueView view, const std::vector<size_t>& rows) const
{
    const QueueCounts counts = queue_.counts();
    switch (command) {
    case QueueCommand::Process:
        return !runner_.processing();
    case QueueCommand::Stop:
        return runner_.processing();
    case QueueCommand::Remove:
        return !rows.empty();
    case QueueCommand::MoveToTop:
    case QueueCommand::MoveToBottom:
        return view == QueueView::Queued && !rows.empty();
    case QueueCommand::RetryFailed:
        return counts.failed > 0 && (view == QueueView::Failed || rows.empty());
    case QueueCommand::ClearSuccessful:
        return counts.done + counts.skipped > 0;
    }
    return false;
}

void QueuePane::run(QueueCommand command, QueueView view, const std::vector<size_t>& rows)
{
    if (!enabled(command, view, rows))
        return;
    switch (command) {
    case QueueCommand::Process:
        return runner_.process();
    case QueueCommand::Stop:
        return runner_.stop();
    case QueueCommand::Remove:
        return queue_.remove(idsOf(view, rows));
    case QueueCommand::MoveToTop:
        return queue_.moveToTop(idsOf(view, rows));
    case QueueCommand::MoveToBottom:
        return queue_.moveToBottom(idsOf(view, rows));
    case QueueCommand::RetryFailed:
        if (view == QueueView::Failed && !rows.empty())
            queue_.retry(idsOf(view, rows));
        else
            queue_.retryAllFailed();
        return runner_.process();
    case QueueCommand::ClearSuccessful:
        return queue_.clearSuccessful();
    }
}

std::vector<uint64_t> QueuePane::idsOf(QueueView view, const std::vector<size_t>& rows) const
{
    std::vector<uint64_t> ids;
    for (size_t row : rows)
        if (row < queue_.rowCount(view))
            ids.push_back(queue_.row(view, row).id);
    return ids;
}

} // namespace brisk
