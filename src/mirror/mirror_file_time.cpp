#include "mirror/mirror_file_time.h"

#include "mirror/mirror_stamp.h"

#include <ctime>

namespace brisk {

int64_t DownloadedFileTime(int64_t exact, const RemoteListing& listing, const std::string& name,
                           const CalendarDate& today)
{
    if (exact > 0)
        return exact;
    for (size_t i = 0; i < listing.size(); ++i) {
        if (listing.name(i) != name)
            continue;
        const MirrorStamp stamp = RemoteStamp(listing[i], today);
        if (stamp.date.year == 0)
            return 0;
        std::tm parts{};
        parts.tm_year = stamp.date.year - 1900;
        parts.tm_mon = stamp.date.month - 1;
        parts.tm_mday = stamp.date.day;
        parts.tm_sec = stamp.seconds;
        parts.tm_isdst = -1;
        const std::time_t t = std::mktime(&parts);
        return t > 0 ? int64_t(t) : 0;
    }
    return 0;
}

} // namespace brisk
