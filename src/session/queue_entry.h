#pragma once
#include "listing/date_order.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace brisk {

// A date and time as the panels show them ("dd.mm.yyyy" or "mm.dd.yyyy", "hh:mm"), in local
// time, as seconds since the epoch; 0 when the date does not read. A time that does not read
// leaves midnight.
int64_t PanelDateTime(std::string_view date, std::string_view time, DateOrder order);

// A queued transfer written as text: path TAB size TAB date TAB time; the later fields optional.
struct QueueEntry {
    std::string path;
    int64_t size = -1;   // -1: not given
    int64_t time = 0;    // 0: no date given, the file keeps the time it gets when written
};
QueueEntry ParseQueueEntry(std::string_view entry, DateOrder order);

// A size column or a listing's size field: decimal digits only, else -1.
int64_t ParseSizeText(std::string_view text);

} // namespace brisk
