#pragma once
#include "listing/packed_records.h"
#include "listing/panel_row.h"

#include <string_view>
#include <vector>

namespace brisk {

// The rows of a file panel, packed like a remote listing. Rows come back by value; view() gives
// the fields without copies, valid until the rows change.
class PanelRows {
public:
    using value_type = PanelRow;
    using const_iterator = IndexIterator<PanelRows, PanelRow>;
    using iterator = const_iterator;

    PanelRows() = default;
    explicit PanelRows(const std::vector<PanelRow>& rows);

    size_t size() const { return records_.size(); }
    bool empty() const { return records_.empty(); }
    void reserve(size_t count) { records_.reserve(count); }

    // Images are the small PanelImage values; each is kept in one byte.
    void push_back(const PanelRowView& row);
    PanelRow operator[](size_t index) const;
    // As operator[], but throws std::out_of_range past the end.
    PanelRow at(size_t index) const;
    PanelRowView view(size_t index) const;
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    int image(size_t index) const { return records_.tag(index); }
    std::string_view caption(size_t index) const { return records_.field(index, 0); }
    void setCaption(size_t index, std::string_view caption) { records_.setField(index, 0, caption); }
    // Row i becomes the row that was at order[i]; order must be a permutation.
    void reorder(const std::vector<size_t>& order) { records_.reorder(order); }

private:
    PackedRecords records_;
};

} // namespace brisk
