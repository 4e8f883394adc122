#pragma once
#include "session/transfer_queue.h"

#include <string>
#include <string_view>

namespace brisk {

// One queue item as a line of the queue file, its fields separated by TAB: id, direction
// ("download", "upload"), state ("queued", "running", "failed", "done", "skipped"), attempts,
// size (-1: unknown), bytes moved, local path, remote path, stored site, host, port, user,
// security (0-3), failure reason. A stored site has port 0 and no host or user. Within a field
// TAB, CR, LF, NUL and "%" are written as %XX, so any name comes back byte for byte.
std::string FormatQueueLine(const QueueItem& item);

// Reads a line written by FormatQueueLine. Nullptr when it reads, else why not.
const char* ParseQueueLine(std::string_view line, QueueItem& item);

} // namespace brisk
