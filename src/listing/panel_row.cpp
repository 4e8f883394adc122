#include "listing/panel_row.h"

#include "listing/panel_sort_key.h"

namespace brisk {

int ComparePanelRows(const PanelRowView& a, const PanelRowView& b, int sortState, DateOrder order)
{
    return ComparePanelSortKeys(MakePanelSortKey(a, sortState, order), MakePanelSortKey(b, sortState, order),
                                sortState);
}

} // namespace brisk
