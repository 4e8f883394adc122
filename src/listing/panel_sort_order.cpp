#include "listing/panel_sort_order.h"

#include "listing/panel_sort_key.h"

#include <algorithm>
#include <array>

namespace brisk {

namespace {

// The first thing the row order compares after the image, as a number: the packed text or date,
// or the size (biggest first); inverted for the reverse direction.
uint64_t leadingValue(const PanelSortKey& key, int sortState)
{
    uint64_t value = key.column == kSortDate ? key.date : key.column == kSortSize ? ~uint64_t(key.number) : key.prefix;
    return sortState < 0 ? ~value : value;
}

// Rows are numbered in 32 bits: a panel never holds four thousand million rows.
struct Entry {
    uint64_t value;
    uint32_t row;
    uint8_t image;
};

// A stable counting sort by one byte of each entry; skipped when all entries share that byte.
template <class ByteOf>
void sortByByte(std::vector<Entry>& entries, std::vector<Entry>& spare, ByteOf byteOf)
{
    std::array<size_t, 257> counts{};
    for (const Entry& entry : entries)
        ++counts[byteOf(entry) + 1];
    if (*std::max_element(counts.begin(), counts.end()) == entries.size())
        return;
    for (size_t i = 1; i < counts.size(); ++i)
        counts[i] += counts[i - 1];
    for (const Entry& entry : entries)
        spare[counts[byteOf(entry)]++] = entry;
    entries.swap(spare);
}

} // namespace

// Long panels are sorted in two steps: a radix sort by image and leading value, which settles most
// rows in a few passes over small records, then the full comparison inside each run of rows that
// share both.
std::vector<size_t> PanelSortOrder(const PanelRows& rows, int sortState, DateOrder dateOrder)
{
    std::vector<PanelSortKey> keys(rows.size());
    std::vector<Entry> entries(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        keys[i] = MakePanelSortKey(rows.view(i), sortState, dateOrder);
        entries[i] = {leadingValue(keys[i], sortState), uint32_t(i), keys[i].image};
    }
    std::vector<Entry> spare(entries.size());
    for (int shift = 0; shift < 64; shift += 8)
        sortByByte(entries, spare, [shift](const Entry& entry) { return size_t(entry.value >> shift) & 0xFF; });
    sortByByte(entries, spare, [](const Entry& entry) { return size_t(entry.image); });
    spare = {};
    const auto before = [&keys, sortState](const Entry& a, const Entry& b) {
        const int result = ComparePanelSortKeys(keys[a.row], keys[b.row], sortState);
        return result != 0 ? result < 0 : a.row < b.row;
    };
    for (size_t start = 0; start < entries.size();) {
        size_t end = start + 1;
        while (end < entries.size() && entries[end].value == entries[start].value &&
               entries[end].image == entries[start].image)
            ++end;
        if (end - start > 1)
            std::sort(entries.begin() + long(start), entries.begin() + long(end), before);
        start = end;
    }
    std::vector<size_t> order(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        order[i] = entries[i].row;
    return order;
}

} // namespace brisk
