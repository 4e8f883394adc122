#pragma once
#include "listing/calendar_date.h"
#include "listing/remote_entry.h"

#include <string>
#include <string_view>
#include <vector>

namespace brisk {

struct ParsedListing {
    std::vector<RemoteEntry> entries;  // in the order of the lines; never "." or ".."
    std::string vmsPath;               // directory announced by a VMS header line, else empty
};

// Turns the lines of a directory listing into entries according to the site's response type
// descriptor. `startDate` is the date against which years of dates given with a time are inferred.
// Never rejects input: unreadable lines become entries or are skipped.
ParsedListing ParseListing(std::string_view descriptor, const CalendarDate& startDate,
                           const std::vector<std::string>& lines);

// Splits raw listing bytes into lines at LF, dropping the CR of CRLF endings.
std::vector<std::string> splitListingLines(std::string_view data);

} // namespace brisk
