#pragma once
#include "listing/date_order.h"

#include <string>

namespace brisk {

// Images of the panel rows; their order is the order of the groups in a sorted panel.
enum PanelImage : int {
    kImageUp = 0,         // ".." and the site list's folders
    kImageDirectory = 1,
    kImageFile = 2,       // files and sites
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
// then by the column of |sortState|, reversed for a negative state.
int ComparePanelRows(const PanelRow& a, const PanelRow& b, int sortState, DateOrder order);

} // namespace brisk
