#include "listing/entry_local_time.h"

#include <cstdio>
#include <ctime>

namespace brisk {

void SetEntryLocalTime(int64_t utcSeconds, RemoteEntry& entry)
{
    const std::time_t t = std::time_t(utcSeconds);
    std::tm local{};
    if (utcSeconds < 0 || !localtime_r(&t, &local))
        return;
    char date[32], time[32];
    std::snprintf(date, sizeof date, "%02d.%02d.%02d", local.tm_mday, local.tm_mon + 1, (local.tm_year + 1900) % 100);
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    entry.date = date;
    entry.time = time;
    entry.year = local.tm_year + 1900;
}

} // namespace brisk
