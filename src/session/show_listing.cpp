#include "session/session_controller.h"

#include "listing/listing_parser.h"
#include "platform/text_file.h"

#include <cstdio>

namespace brisk {

namespace {

std::vector<std::string> readListingFile(const std::string& path)
{
    std::vector<std::string> lines;
    readTextLines(path, lines);
    return lines;
}

} // namespace

void SessionController::ShowListing()
{
    const std::vector<std::string> lines = readListingFile(options_.ListingTempFile);
    std::remove(options_.ListingTempFile.c_str());
    ParsedListing parsed = ParseListing(CurrentSite_.Answer, StartDate_, lines);
    remote.listing = std::move(parsed.entries);
    remote.listingCopy = remote.listing;
    if (!parsed.vmsPath.empty())
        Ftp1.HostDirName = parsed.vmsPath;
    FillRemotePanel();
    remote.RebuildPathBox(msl[msgServerList] + " ...", Ftp1.HostName, Ftp1.HostDirName);
    NavigationBusy_ = false;
    ++listingsShown_;
    changed();
}

void SessionController::RefreshListingCopy()
{
    if (!Ftp1.Connected())
        return;
    remote.listingCopy = ParseListing(CurrentSite_.Answer, StartDate_, readListingFile(options_.ListingTempFile)).entries;
}

void SessionController::FillRemotePanel()
{
    remote.FillRemotePanel(responseType(), DateOrder(options_.DateType == 1 ? 1 : 0), localToday());
}

} // namespace brisk
