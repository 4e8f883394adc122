#pragma once
#include "session/transfer_queue.h"

#include <string>

namespace brisk {

// The queue's file, "queue.txt" in ProgramDir.
std::string QueueFilePath();

// The longest line the queue file may hold; the longest an item can write is well below it.
constexpr size_t kMaxQueueLineBytes = 65536;

// Writes the whole queue to the file, beside it and renamed over it, owner-only: a header line
// "brisklane-queue<TAB>1<TAB>next id", then one line per item in queue order (queue_line.h).
// False when it could not be written. Call it after changes worth keeping and at exit.
bool SaveQueue(const TransferQueue& queue, const std::string& path = QueueFilePath());

struct QueueLoadResult {
    std::string problem;    // why the file was refused; empty when it read or did not exist
    std::string setAside;   // where the refused file is now; empty when it could not be moved
    // What to tell the user; empty when there was no problem.
    std::string message(const std::string& path = QueueFilePath()) const;
};

// Fills the queue from the file; items that were running come back queued, done ones stay.
// A file that does not read in full is refused whole: the queue is left empty and the file is
// renamed beside itself to "queue.txt.bad" (".bad.1" to ".bad.99" when that is taken), so that
// the next save does not overwrite what may still be mended by hand.
QueueLoadResult LoadQueue(TransferQueue& queue, const std::string& path = QueueFilePath());

} // namespace brisk
