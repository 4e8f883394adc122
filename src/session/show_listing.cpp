#include "session/session_controller.h"

#include "listing/listing_parser.h"

namespace brisk {

void SessionController::ShowListing()
{
    // Read line by line: a long listing never sits in memory twice, as text and as entries.
    ParsedListing parsed = listing_.take(CurrentSite_.Answer);
    remote.listing = std::make_shared<const RemotePanel::Entries>(std::move(parsed.entries));
    remote.listingCopy = remote.listing;
    if (!parsed.vmsPath.empty())
        Ftp1.HostDirName = parsed.vmsPath;
    // Reading a long listing and sorting its rows each hold the window for a moment; between the
    // two the window gets its turn.
    post([this] { finishShowListing(); });
}

void SessionController::finishShowListing()
{
    if (SiteListMode_)
        return;   // the session ended meanwhile
    FillRemotePanel();
    remote.RebuildPathBox(msl[msgServerList] + " ...", Ftp1.HostName, Ftp1.HostDirName);
    NavigationBusy_ = false;
    ++listingsShown_;
    changed();
}

std::string SessionController::listingStatusText() const
{
    if (!listingLoading_)
        return {};
    const int64_t megabytes = listingBytes_ >> 20;
    return msl[msgReadingListing] + (megabytes > 0 ? ": " + std::to_string(megabytes) + " MB" : std::string(" ..."));
}

void SessionController::RefreshListingCopy()
{
    if (!Ftp1.Connected())
        return;
    ParsedListing parsed = listing_.read(CurrentSite_.Answer);
    remote.listingCopy = std::make_shared<const RemotePanel::Entries>(std::move(parsed.entries));
}

void SessionController::FillRemotePanel()
{
    remote.FillRemotePanel(int(responseType()), DateOrder(options_.DateType == 1 ? 1 : 0), localToday());
}

} // namespace brisk
