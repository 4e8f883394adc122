#pragma once
#include "listing/date_order.h"

#include <string>
#include <string_view>

namespace brisk {

// Images of the panel rows; their order is the order of the groups in a sorted panel.
enum PanelImage : int {
    kImageUp = 0,         // ".." and the site list's folders
    kImageDirectory = 1,
    kImageFile = 2,       // files and sites
    kImageText = 3,       // a listing line shown only as text: unreadable, or a name no command may take;
                          // such a row can never be selected
};

// One row of either panel: the caption and the sub-items in column order.
struct PanelRow {
    int image = kImageFile;
    std::string caption;
    std::string size;        // sub-item 0
    std::string date;        // sub-item 1, in display form
    std::string time;        // sub-item 2
    std::string attributes;  // sub-item 3
    std::string link;        // sub-item 4
};

// A row's fields without copies, as packed rows hand them out for sorting and painting.
struct PanelRowView {
    int image = kImageFile;
    std::string_view caption;
    std::string_view size;
    std::string_view date;
    std::string_view time;
    std::string_view attributes;
    std::string_view link;

    PanelRowView() = default;
    PanelRowView(const PanelRow& row)
        : image(row.image), caption(row.caption), size(row.size), date(row.date), time(row.time),
          attributes(row.attributes), link(row.link)
    {
    }
};

// Column tags; a panel's sort state is a tag whose sign gives the direction.
enum SortColumn : int {
    kSortLinks = 0,
    kSortName = 1,
    kSortSize = 2,
    kSortDate = 3,
    kSortTime = 4,
    kSortAttributes = 5,
};

// Row order of both panels: negative when `a` comes first. Groups by image in every direction,
// then by the column of |sortState| (the date column by date, then time of day), reversed for a
// negative state.
int ComparePanelRows(const PanelRowView& a, const PanelRowView& b, int sortState, DateOrder order);

} // namespace brisk
