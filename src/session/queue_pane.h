#pragma once
#include "session/queue_runner.h"
#include "session/transfer_queue.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace brisk {

enum class QueueColumn : uint8_t { Direction, Local, Remote, Size, Progress, Rate, Reason };

// The commands of the queue pane's right-click menu.
enum class QueueCommand : uint8_t { Process, Stop, Remove, MoveToTop, MoveToBottom, RetryFailed, ClearSuccessful };

// The queue pane's logic: the tabs' captions, each cell's text, the totals line and the
// right-click menu over the queue and its runner. The pane's widgets only show it.
class QueuePane {
public:
    static constexpr std::array<const char*, 7> kColumns = {"Direction", "Local file", "Remote file", "Size",
                                                           "Progress", "Rate", "Reason"};
    static constexpr std::array<const char*, 3> kTabs = {"Queued", "Failed", "Successful"};
    static constexpr std::array<const char*, 7> kCommands = {
        "Process queue", "Stop queue", "Remove", "Move to top", "Move to bottom", "Retry failed", "Clear successful"};

    QueuePane(TransferQueue& queue, QueueRunner& runner) : queue_(queue), runner_(runner) {}

    // "Queued (12)".
    std::string tabCaption(QueueView view) const;
    std::string cell(QueueView view, size_t row, QueueColumn column) const;
    // "3.2 MiB of 10.0 MiB (32%), 1.250 K/sec,  0:00:06 left"; empty while nothing is queued.
    std::string totalsText() const;

    // `rows` are the selected rows of `view`. Retry failed takes the selected failed rows, or all
    // of them when none is selected, and processes the queue.
    bool enabled(QueueCommand command, QueueView view, const std::vector<size_t>& rows) const;
    void run(QueueCommand command, QueueView view, const std::vector<size_t>& rows);

private:
    std::vector<uint64_t> idsOf(QueueView view, const std::vector<size_t>& rows) const;

    TransferQueue& queue_;
    QueueRunner& runner_;
};

} // namespace brisk
