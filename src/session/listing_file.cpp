#include "session/listing_file.h"

#include <cstdio>

namespace brisk {

ParsedListing ListingFile::read(std::string_view descriptor) const
{
    ParsedListing parsed;
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
