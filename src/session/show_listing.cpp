#include "session/session_controller.h"

#include "listing/listing_parser.h"

namespace brisk {

void SessionController::ShowListing()
{
    // Read line by line: a long listing never sits in memory twice, as text and as entries.
    listingError_.clear();
    ParsedListing parsed = listing_.take(CurrentSite_.Answer);
    remote.listing = std::make_shared<const RemotePanel::Entries>(std::move(parsed.entries));
    remote.listingCopy = remote.listing;
    if (!parsed.vmsPath.empty())
        connection_.setDir(parsed.vmsPath);
    // Reading a long listing, making its rows and sorting them each hold the window for a moment;
    // between the steps the window gets its turn. A later listing or the end of the session
    // drops the steps still to come.
    const uint64_t generation = ++showGeneration_;
    post([this, generation] { buildListingRows(generation); });
}

bool SessionController::showStepCurrent(uint64_t generation) const
{
    return !SiteListMode_ && generation == showGeneration_;
}

void SessionController::buildListingRows(uint64_t generation)
{
    if (!showStepCurrent(generation))
        return;
    pendingRows_ = remote.BuildRows(int(responseType()), dateOrder(), localToday());
    post([this, generation] { finishShowListing(generation); });
}

void SessionController::finishShowListing(uint64_t generation)
{
    if (!showStepCurrent(generation))
        return;
    remote.ShowRows(std::move(pendingRows_), dateOrder());
    pendingRows_ = {};
    remote.RebuildPathBox(msl[msgServerList] + " ...", Ftp1.HostName, connection_.dir());
    NavigationBusy_ = false;
    ++listingsShown_;
    changed();
}

std::string SessionController::listingStatusText() const
{
    if (!listingLoading_)
        return {};
    const int64_t megabytes = listingBytes_ >> 20;
    return msl[xmsgReadingListing] + (megabytes > 0 ? ": " + std::to_string(megabytes) + " MB" : std::string(" ..."));
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
    remote.FillRemotePanel(int(responseType()), dateOrder(), localToday());
}

DateOrder SessionController::dateOrder() const
{
    return DateOrder(options_.DateType == 1 ? 1 : 0);
}

} // namespace brisk
