#pragma once
#include "ftp/ftp_client.h"
#include "listing/calendar_date.h"
#include "listing/listing_parser.h"

#include <string>
#include <string_view>

namespace brisk {

// The per-instance file the engine writes each listing into. Whoever asked for a listing reads it
// from here; `take` also deletes it, so a listing is never read twice or left behind.
class ListingFile {
public:
    ListingFile(const std::string& path, const CalendarDate& startDate, const TFtpClient& ftp)
        : path_(path), startDate_(startDate), ftp_(ftp) {}

    const std::string& path() const { return path_; }
    ParsedListing read(std::string_view descriptor) const;
    ParsedListing take(std::string_view descriptor);
    void remove();

private:
    const std::string& path_;   // the options' ListingTempFile, which the options may change
    const CalendarDate& startDate_;
    const TFtpClient& ftp_;     // tells whether the listing came as MLSD
};

} // namespace brisk
