#include "local/directory_compare.h"

#include "local/row_moment.h"

#include <string_view>
#include <unordered_map>

namespace brisk {

namespace {

bool isUpRow(const PanelRowView& row)
{
    return row.image == kImageUp || row.caption == "..";
}

bool sameEntry(const PanelRowView& a, const CompareSide& sideA, const PanelRowView& b, const CompareSide& sideB,
               DateOrder order)
{
    if (a.size != b.size)
        return false;
    const std::optional<RowMoment> momentA = RowMomentOf(a, order, sideA.zoneHours);
    return momentA && momentA == RowMomentOf(b, order, sideB.zoneHours);
}

// Selects the rows of `a` that have no equal counterpart in `b`, deselects the others.
void markDifferences(const CompareSide& a, const CompareSide& b, DateOrder order)
{
    std::unordered_map<std::string_view, size_t> firstOfCaption;
    for (size_t i = 0; i < b.panel.size(); ++i)
        firstOfCaption.emplace(b.panel.rows().caption(i), i);
    for (size_t i = 0; i < a.panel.size(); ++i) {
        const PanelRowView row = a.panel.rows().view(i);
        const auto other = firstOfCaption.find(row.caption);
        const bool equal =
            other != firstOfCaption.end() && sameEntry(row, a, b.panel.rows().view(other->second), b, order);
        a.panel.setSelected(i, !equal && !isUpRow(row));
    }
}

} // namespace

void CompareDirectories(CompareSide local, CompareSide remote, DateOrder order)
{
    markDifferences(local, remote, order);
    markDifferences(remote, local, order);
}

} // namespace brisk
