#include "listing/file_panel.h"

#include "listing/mask_match.h"
#include "listing/panel_sort_order.h"
#include "listing/text_util.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace brisk {

namespace {

// A file row's weight in the status line; sizes that are no plain number count as 0.
int64_t rowSize(const PanelRowView& row)
{
    return decimalValue(trimBlanks(row.size)).value_or(0);
}

} // namespace

std::vector<size_t> FilePanel::selectedIndices() const
{
    std::vector<size_t> indices;
    for (size_t i = 0; i < selected_.size(); ++i)
        if (selected_[i])
            indices.push_back(i);
    return indices;
}

int FilePanel::selectedIndex() const
{
    const auto it = std::find(selected_.begin(), selected_.end(), true);
    return it == selected_.end() ? -1 : static_cast<int>(it - selected_.begin());
}

void FilePanel::setRows(PanelRows rows)
{
    rows_ = std::move(rows);
    selected_.assign(rows_.size(), false);
    sort();
}

size_t FilePanel::setCaption(size_t index, const std::string& caption)
{
    if (index >= rows_.size())
        throw std::out_of_range("file panel: no row to rename");
    rows_.setCaption(index, caption);
    return sort(index);
}

void FilePanel::setDateOrder(DateOrder order)
{
    if (order == order_)
        return;
    order_ = order;
    sort();
}

void FilePanel::clickColumn(int tag)
{
    if (tag < 0)
        throw std::invalid_argument("column tags are not negative");
    const int64_t magnitude = sortState_ < 0 ? -int64_t(sortState_) : sortState_;
    sortState_ = magnitude != tag ? -tag : -sortState_;
    sort();
}

void FilePanel::setSelected(size_t index, bool on)
{
    if (selected_.at(index) == on)
        return;
    const PanelRowView row = rows_.view(index);
    if (row.image == kImageText)
        return;
    selected_[index] = on;
    if (row.image != kImageFile)
        return;
    const int64_t size = rowSize(row);
    if (on) {
        count_ += 1;
        total_ += size;
    } else {
        count_ = std::max<int64_t>(0, count_ - 1);
        total_ = std::max<int64_t>(0, total_ - size);
    }
}

void FilePanel::selectAll()
{
    for (size_t i = 0; i < rows_.size() && !stopped(); ++i)
        setSelected(i, true);
}

void FilePanel::unselectAll()
{
    for (size_t i = 0; i < rows_.size() && !stopped(); ++i)
        setSelected(i, false);
}

void FilePanel::invertSelection()
{
    for (size_t i = 0; i < rows_.size() && !stopped(); ++i)
        setSelected(i, !selected_[i]);
}

void FilePanel::selectMatching(const std::string& mask, bool on)
{
    for (size_t i = 0; i < rows_.size() && !stopped(); ++i)
        if (MatchesMask(rows_.caption(i), mask))
            setSelected(i, on);
}

bool FilePanel::stopped() const
{
    return stopRequested && stopRequested();
}

void FilePanel::sort()
{
    sort(0);
}

// Rows and their selection marks move together; returns where row `follow` went. Only the rows'
// small slots move, their texts stay where they are.
size_t FilePanel::sort(size_t follow)
{
    ++version_;
    const std::vector<size_t> order = PanelSortOrder(rows_, sortState_, order_);
    size_t followed = 0;
    std::vector<bool> selected(order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        if (order[i] == follow)
            followed = i;
        selected[i] = selected_[order[i]];
    }
    rows_.reorder(order);
    selected_ = std::move(selected);
    return followed;
}

std::string SelectionStatusText(int64_t total, int64_t count, const std::string& byteWord,
                                const std::string& inWord, const std::string& filesWord)
{
    if (count == 0)
        return {};
    char kilobytes[64];
    std::snprintf(kilobytes, sizeof kilobytes, "%.2f", static_cast<double>(total) / 1024.0);
    return std::to_string(total) + " " + byteWord + " (" + kilobytes + " Kb) " + inWord + " " +
           std::to_string(count) + " " + filesWord;
}

std::string ChangeNameCase(const std::string& name, int mode)
{
    switch (mode) {
    case 0: {
        std::string upper = name;
        for (char& c : upper)
            c = upperAscii(c);
        return upper;
    }
    case 1: return lowerAscii(name);
    case 2: {
        std::string sentence = lowerAscii(name);
        if (!sentence.empty())
            sentence[0] = upperAscii(sentence[0]);
        return sentence;
    }
    default: throw std::invalid_argument("change case: mode must be 0, 1 or 2");
    }
}

} // namespace brisk
