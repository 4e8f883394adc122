#pragma once
#include "listing/date_order.h"
#include "listing/panel_row.h"
#include "listing/panel_rows.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace brisk {

// The rows of one file panel (local, or remote while a session is open), kept in the order
// ComparePanelRows gives for the panel's sort state, with the selection and its status counters.
class FilePanel {
public:
    const PanelRows& rows() const { return rows_; }
    // Changes with every change of the rows or their order, so views can tell when to redraw.
    uint64_t version() const { return version_; }
    size_t size() const { return rows_.size(); }
    bool isSelected(size_t index) const { return selected_.at(index); }
    std::vector<size_t> selectedIndices() const;
    // The first selected row, or -1.
    int selectedIndex() const;

    // Replaces all rows, sorted; nothing is selected afterwards. The status counters stay.
    void setRows(PanelRows rows);
    void setRows(const std::vector<PanelRow>& rows) { setRows(PanelRows(rows)); }
    void clear() { setRows(PanelRows{}); }
    // Renames row `index` in place and re-sorts; returns where the row is now.
    size_t setCaption(size_t index, const std::string& caption);

    int sortState() const { return sortState_; }
    void setDateOrder(DateOrder order);
    // Column click: another column sorts by it in the reverse direction (-tag), the same one flips.
    // Throws std::invalid_argument for a negative tag.
    void clickColumn(int tag);

    // Selecting or deselecting a file row (image 2) moves the status counters by one and by its size.
    // A text row (kImageText) is never selected, so no command ever takes its caption for a name.
    void setSelected(size_t index, bool on);
    void selectAll();
    void unselectAll();
    void invertSelection();
    // Selects (or deselects) every row whose caption matches the mask.
    void selectMatching(const std::string& mask, bool on);
    // Loops stop early when this answers true (the Stop button was pressed).
    std::function<bool()> stopRequested;

    int64_t selectedCount() const { return count_; }
    int64_t selectedTotal() const { return total_; }
    void resetStatus() { count_ = 0; total_ = 0; }

private:
    void sort();
    size_t sort(size_t follow);
    bool stopped() const;

    PanelRows rows_;
    std::vector<bool> selected_;
    int sortState_ = 0;
    DateOrder order_ = DateOrder::DayFirst;
    int64_t count_ = 0;
    int64_t total_ = 0;
    uint64_t version_ = 0;
};

// "2048 byte (2.00 Kb) in 2 file(s)" in the words of the message list; empty when count is 0.
std::string SelectionStatusText(int64_t total, int64_t count, const std::string& byteWord,
                                const std::string& inWord, const std::string& filesWord);

// UPPER CASE (0), lower case (1) or As sentence (2); only a-z and A-Z change.
// Throws std::invalid_argument for any other mode.
std::string ChangeNameCase(const std::string& name, int mode);

} // namespace brisk
