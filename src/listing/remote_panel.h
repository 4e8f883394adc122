#pragma once
#include "listing/calendar_date.h"
#include "listing/file_panel.h"
#include "listing/remote_entry.h"
#include "listing/remote_listing.h"

#include <memory>
#include <string>
#include <vector>

namespace brisk {

// The remote directory panel of an open session: the shown listing, its rows, the filter, and the
// path box above it (item 0 leads back to the site list, item 1 is the host, then one item per level).
class RemotePanel {
public:
    FilePanel panel;
    // The directory shown, and the same after each shown listing (also filled without display). Both
    // refer to one unchangeable listing until a listing is fetched without display, so a long listing
    // is held once.
    using Entries = RemoteListing;
    std::shared_ptr<const Entries> listing = std::make_shared<const Entries>();
    std::shared_ptr<const Entries> listingCopy = listing;
    std::string filterMask = "*.*";
    std::string selectionMask = "*.*";

    // Rebuilds the rows from `listing`. Files not matching the filter are left out, except for the
    // "Text" response type (1), whose rows are whole lines; directories are always shown. Unreadable
    // lines and names that are no plain names (".", "..", "/", CR, LF, NUL) are always shown, as text
    // rows that cannot be selected.
    void FillRemotePanel(int responseType, DateOrder order, const CalendarDate& today);
    // The two halves of FillRemotePanel, for a long listing shown in steps: the rows from
    // `listing`, then those rows sorted into the panel.
    PanelRows BuildRows(int responseType, DateOrder order, const CalendarDate& today) const;
    void ShowRows(PanelRows rows, DateOrder order);

    const std::vector<std::string>& pathItems() const { return pathItems_; }
    int pathSelected() const { return pathSelected_; }
    // The last item the user's choice was accepted for.
    int pathTag() const { return pathTag_; }
    void setPathTag(int index) { pathTag_ = index; }
    void selectPathItem(int index) { pathSelected_ = index; }
    // Item 0 rootText, item 1 host, then the components of dir; the last one selected and remembered.
    void RebuildPathBox(const std::string& rootText, const std::string& host, const std::string& dir);
    void clearPathBox();
    // "/" for item 1, "/a/b" for item 3 of [root, host, a, b].
    std::string pathOfItem(int index) const;

    void clear();

private:
    std::vector<std::string> pathItems_;
    int pathSelected_ = -1;
    int pathTag_ = -1;
};

} // namespace brisk
