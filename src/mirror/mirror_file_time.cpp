#include "mirror/mirror_file_time.h"

namespace brisk {

int64_t DownloadedFileTime(int64_t exact, const RemoteListing& listing, const std::string& name,
                           const CalendarDate& today, RemoteClock clock)
{
    if (exact > 0)
        return exact;
    for (size_t i = 0; i < listing.size(); ++i) {
        if (listing.name(i) != name)
            continue;
        const MirrorStamp stamp = RemoteStamp(listing[i], today, clock);
        return stamp.known && stamp.utc > 0 ? stamp.utc : 0;
    }
    return 0;
}

} // namespace brisk
