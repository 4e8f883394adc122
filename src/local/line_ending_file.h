#pragma once
#include "local/line_endings.h"

#include <cstdint>
#include <string>

namespace brisk {

// How converting one file ended; each but Missing and Empty is reported on the file's log line.
enum class ConvertOutcome { Missing, Empty, Ok, OpenError, ReadError, WriteError };

// Files up to this size are converted in memory as a whole; bigger ones block by block.
constexpr uint64_t kLineEndingMemoryBudget = uint64_t(256) << 20;

// Rewrites the line ends of the regular file at `path`; a symbolic link's target is converted and
// the link stays a link. The file must be open for reading and writing. The new content goes to a
// temporary file beside it, which takes its place (with its permission bits) only once written in
// full; every failure leaves the file as it was. A file whose line ends are already the target's
// is left alone. Files bigger than `memoryBudget` are read in blocks of that size.
ConvertOutcome ConvertFileLineEnds(const std::string& path, LineEnding target,
                                   uint64_t memoryBudget = kLineEndingMemoryBudget);

} // namespace brisk
