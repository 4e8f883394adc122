#pragma once
#include "listing/remote_entry.h"

#include <cstdint>

namespace brisk {

// Sets the entry's date ("dd.mm.yy"), time ("hh:mm:ss") and year from a UTC time in seconds since the
// epoch, shown in local time as a Unix listing shows it; nothing for a negative time or one the
// calendar cannot hold.
void SetEntryLocalTime(int64_t utcSeconds, RemoteEntry& entry);

} // namespace brisk
