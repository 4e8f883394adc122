// The machine's own limit for a download: one plain TCP stream over loopback from a file (sendfile)
// into another file (recv and write), measured like a client run, so that a client's throughput can be
// set against what the machine does without FTP.
#pragma once
#include "measured_run.h"

#include <filesystem>

namespace bench {

// Streams `source` into `target` once: the run's time, the receiver's CPU time as the client's, the
// sender's as the server's, status 0 on success.
Run measureStream(const std::filesystem::path& source, const std::filesystem::path& target);

} // namespace bench
