#pragma once
#include "listing/date_order.h"
#include "listing/panel_rows.h"

#include <cstddef>
#include <vector>

namespace brisk {

// The order ComparePanelRows gives the rows for `sortState`, rows that compare equal keeping the
// order they have: order[i] is the row that goes to place i.
std::vector<size_t> PanelSortOrder(const PanelRows& rows, int sortState, DateOrder dateOrder);

} // namespace brisk
