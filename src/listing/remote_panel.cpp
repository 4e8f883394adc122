#include "listing/remote_panel.h"

#include "listing/listing_date.h"
#include "listing/mask_match.h"
#include "platform/ascii.h"

namespace brisk {

namespace {

// A name that would lead out of the directory, or that no command line can carry.
bool isPlainName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\r\n\0", 4)) == std::string_view::npos;
}

bool isTextOnly(const RemoteEntryView& entry)
{
    return entry.unreadable || !isPlainName(entry.name);
}

// The row's fields point into the entry, except the date, which is shown reformatted, and the
// caption of a text-only row, whose control bytes are shown as "?".
PanelRowView rowView(const RemoteEntryView& entry, std::string_view shownDate, std::string_view caption)
{
    PanelRowView row;
    row.image = isTextOnly(entry) ? kImageText : entry.isDirectory ? kImageDirectory : kImageFile;
    row.caption = caption;
    row.size = entry.isDirectory ? std::string_view{} : entry.size;
    row.date = shownDate;
    row.time = entry.time;
    row.attributes = entry.attributes;
    row.link = entry.link;
    return row;
}

} // namespace

void RemotePanel::FillRemotePanel(int responseType, DateOrder order, const CalendarDate& today)
{
    ShowRows(BuildRows(responseType, order, today), order);
}

PanelRows RemotePanel::BuildRows(int responseType, DateOrder order, const CalendarDate& today) const
{
    PanelRows rows;
    rows.reserve(listing->size());
    for (size_t i = 0; i < listing->size(); ++i) {
        const RemoteEntryView entry = listing->view(i);
        const bool textOnly = isTextOnly(entry);
        if (!entry.isDirectory && !textOnly && responseType != 1 && !MatchesMask(entry.name, filterMask))
            continue;
        const std::string caption = textOnly ? printableLine(entry.name) : std::string();
        rows.push_back(rowView(entry, FormatListingDate(entry.date, order, today, entry.year),
                               textOnly ? std::string_view(caption) : entry.name));
    }
    return rows;
}

void RemotePanel::ShowRows(PanelRows rows, DateOrder order)
{
    panel.setDateOrder(order);
    panel.setRows(std::move(rows));
    // New rows come unselected, so the counters of the old selection would be wrong.
    panel.resetStatus();
}

void RemotePanel::RebuildPathBox(const std::string& rootText, const std::string& host, const std::string& dir)
{
    pathItems_ = {rootText, host};
    size_t start = (!dir.empty() && dir.front() == '/') ? 1 : 0;
    while (start < dir.size()) {
        size_t slash = dir.find('/', start);
        if (slash == std::string::npos)
            slash = dir.size();
        pathItems_.push_back(dir.substr(start, slash - start));
        start = slash + 1;
    }
    pathSelected_ = int(pathItems_.size()) - 1;
    pathTag_ = pathSelected_;
}

void RemotePanel::clearPathBox()
{
    pathItems_.clear();
    pathSelected_ = -1;
    pathTag_ = -1;
}

std::string RemotePanel::pathOfItem(int index) const
{
    if (index <= 1)
        return "/";
    std::string path;
    for (int i = 2; i <= index && i < int(pathItems_.size()); ++i)
        path += "/" + pathItems_[size_t(i)];
    return path;
}

void RemotePanel::clear()
{
    listing = std::make_shared<const Entries>();
    listingCopy = listing;
    panel.clear();
}

} // namespace brisk
