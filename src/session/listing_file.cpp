#include "session/listing_file.h"

#include "listing/mlsd_listing.h"

#include <cstdio>

namespace brisk {

ParsedListing ListingFile::read(std::string_view descriptor) const
{
    ParsedListing parsed;
    if (ftp_.ListingIsMlsd())
        ParseMlsdFile(path_, ftp_.ListHiddenFiles, parsed);
    else
        ParseListingFile(descriptor, startDate_, path_, parsed);
    return parsed;
}

ParsedListing ListingFile::take(std::string_view descriptor)
{
    ParsedListing parsed = read(descriptor);
    remove();
    return parsed;
}

void ListingFile::remove()
{
    std::remove(path_.c_str());
}

} // namespace brisk
