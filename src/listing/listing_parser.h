#pragma once
#include "listing/calendar_date.h"
#include "listing/remote_entry.h"
#include "listing/remote_listing.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace brisk {

struct ParsedListing {
    RemoteListing entries;             // in the order of the lines; never "." or ".."
    std::string vmsPath;               // directory announced by a VMS header line, else empty
};

// Turns the lines of a directory listing into entries according to the site's response type
// descriptor. `startDate` is the date against which years of dates given with a time are inferred.
// Never rejects input: a line no rule can read becomes an entry marked unreadable whose name is the
// line, so that it can be shown and counted but never acted on.
ParsedListing ParseListing(std::string_view descriptor, const CalendarDate& startDate,
                           const std::vector<std::string>& lines);

// The same parse, one line at a time, for listings too long to hold: each entry is handed to the
// sink as soon as its line (and, for a wrapped VMS name, the next one) has been seen. A link's kind
// depends on earlier entries, so the sink is told whether the entry still waits for that decision.
class ListingLineParser {
public:
    using Sink = std::function<void(RemoteEntry& entry, bool pendingLink)>;

    ListingLineParser(std::string_view descriptor, const CalendarDate& startDate);
    ~ListingLineParser();

    void addLine(std::string_view line, const Sink& sink);
    // Parses a line still held back (a short VMS line at the very end).
    void finish(const Sink& sink);
    const std::string& vmsPath() const { return vmsPath_; }

private:
    void parse(std::string_view line, const Sink& sink);

    struct Rules;
    std::unique_ptr<Rules> rules_;
    std::string heldBack_;
    bool holding_ = false;
    std::string vmsPath_;
};

// Reads the parsed entries of a listing file one by one; a missing file gives none. False when the
// file cannot be read to its end.
bool ParseListingFile(std::string_view descriptor, const CalendarDate& startDate, const std::string& path,
                      ParsedListing& out);

// Splits raw listing bytes into lines at LF, dropping the CR of CRLF endings.
std::vector<std::string> splitListingLines(std::string_view data);

} // namespace brisk
