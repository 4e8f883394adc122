#pragma once
#include "listing/date_order.h"
#include "listing/file_panel.h"

namespace brisk {

// One side of the comparison: a panel's rows and the zone its times are written in (hours east of
// UTC: the TimeZone option for the local panel, the site's TimeZone for the remote one).
struct CompareSide {
    FilePanel& panel;
    int zoneHours = 0;
};

// "Compare Directories": in both panels every row with an equal counterpart on the other side is
// deselected and every other row selected, the status counters following. A counterpart is the
// first row of the other panel with exactly the same caption (letter case counts); it is equal when
// the size texts are identical (sizes are compared as text) and both dates read and give the same
// moment (see RowMoment). The ".." row is never selected.
void CompareDirectories(CompareSide local, CompareSide remote, DateOrder order);

} // namespace brisk
