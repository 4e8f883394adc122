#pragma once
#include "listing/date_order.h"
#include "listing/panel_row.h"

#include <cstdint>
#include <string_view>

namespace brisk {

// What the row order needs of one row for one column, worked out once per row so that sorting a
// long panel compares numbers and short texts instead of re-reading sizes and dates each time.
struct PanelSortKey {
    uint8_t image = kImageFile;
    uint8_t column = kSortName;
    uint8_t dateLength = 0;   // date column: the bytes of year, month and day packed in `date`
    uint64_t date = 0;        // date column: those bytes, upper-cased, big-endian, zero-padded
    int64_t number = 0;       // size, or the date column's seconds of day (-1 for no time)
    // The first sixteen bytes of the compared text (name, time or attributes; the date column's
    // time) packed the same way, so most comparisons end without reading the text itself.
    uint64_t prefix = 0;
    uint64_t prefix2 = 0;
    std::string_view text;
};

// Where a list's header shows the order of a sort state: the column's position (Filename 0, Size
// 1, Date 2, Time 3, Attribute 4) and whether the values grow downwards. Sizes sort biggest first
// in the plain direction, so their arrow points the other way than the names'.
struct SortIndicator {
    int column = 0;
    bool ascending = true;
};
SortIndicator SortIndicatorOf(int sortState);

// The key of `row` for the column of |sortState| (name for any unknown column).
PanelSortKey MakePanelSortKey(const PanelRowView& row, int sortState, DateOrder order);

// Negative when `a` comes first in the order of `sortState`; both keys made for that state.
int ComparePanelSortKeys(const PanelSortKey& a, const PanelSortKey& b, int sortState);

} // namespace brisk
