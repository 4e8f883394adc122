#include "listing/panel_sort_key.h"

#include "listing/text_util.h"
#include "listing/time_of_day.h"

namespace brisk {

namespace {

int columnOf(int sortState)
{
    const int64_t column = sortState < 0 ? -int64_t(sortState) : sortState;
    return column >= kSortSize && column <= kSortAttributes ? int(column) : kSortName;
}

int compareTextNoCase(std::string_view a, std::string_view b)
{
    const size_t common = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < common; ++i) {
        const auto ca = static_cast<unsigned char>(upperAscii(a[i]));
        const auto cb = static_cast<unsigned char>(upperAscii(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string_view characters(std::string_view text, size_t from, size_t count)
{
    return from - 1 < text.size() ? text.substr(from - 1, count) : std::string_view{};
}

// Up to eight bytes of text, upper-cased, big-endian and zero-padded: words made this way compare
// as numbers the way their texts compare byte by byte ignoring the case of letters.
uint64_t packWord(std::string_view text)
{
    uint64_t word = 0;
    for (size_t i = 0; i < 8; ++i)
        word = (word << 8) | (i < text.size() ? static_cast<unsigned char>(upperAscii(text[i])) : 0u);
    return word;
}

// Year, month and day of a display date: at most eight bytes, so one word holds them all.
void packDate(std::string_view date, DateOrder order, PanelSortKey& key)
{
    const bool dayFirst = order == DateOrder::DayFirst;
    std::string_view parts[] = {characters(date, 7, 4), characters(date, dayFirst ? 4 : 1, 2),
                                characters(date, dayFirst ? 1 : 4, 2)};
    char bytes[8] = {};
    for (std::string_view part : parts)
        for (char c : part)
            bytes[key.dateLength++] = c;
    key.date = packWord(std::string_view(bytes, key.dateLength));
}

void packText(std::string_view text, PanelSortKey& key)
{
    key.text = text;
    key.prefix = packWord(text);
    key.prefix2 = text.size() > 8 ? packWord(text.substr(8)) : 0;
}

// Unequal prefixes decide. Equal ones leave the rest of longer texts to compare; for texts that
// fit them whole the shorter goes first (it can only differ by NULs the padding stands for).
int compareTexts(const PanelSortKey& a, const PanelSortKey& b)
{
    if (a.prefix != b.prefix)
        return a.prefix < b.prefix ? -1 : 1;
    if (a.prefix2 != b.prefix2)
        return a.prefix2 < b.prefix2 ? -1 : 1;
    if (a.text.size() <= 16 && b.text.size() <= 16)
        return a.text.size() == b.text.size() ? 0 : a.text.size() < b.text.size() ? -1 : 1;
    return compareTextNoCase(a.text, b.text);
}

int compareNumbers(int64_t a, int64_t b)
{
    return a < b ? -1 : a > b ? 1 : 0;
}

// Within one day by time of day; a time that reads as none (the empty time of an entry dated with a
// year included) goes before all others, and such times among themselves as text.
int compareDates(const PanelSortKey& a, const PanelSortKey& b)
{
    if (a.date != b.date)
        return a.date < b.date ? -1 : 1;
    if (a.dateLength != b.dateLength)
        return a.dateLength < b.dateLength ? -1 : 1;
    const int bySeconds = compareNumbers(a.number, b.number);
    return bySeconds != 0 ? bySeconds : compareTexts(a, b);
}

} // namespace

SortIndicator SortIndicatorOf(int sortState)
{
    const int column = columnOf(sortState);
    return {column - kSortName, (sortState >= 0) != (column == kSortSize)};
}

PanelSortKey MakePanelSortKey(const PanelRowView& row, int sortState, DateOrder order)
{
    PanelSortKey key;
    key.image = uint8_t(row.image);
    key.column = uint8_t(columnOf(sortState));
    switch (key.column) {
    case kSortSize: key.number = decimalValue(trimBlanks(row.size)).value_or(0); break;
    case kSortDate:
        packDate(row.date, order, key);
        key.number = SecondsOfDay(row.time).value_or(-1);
        packText(row.time, key);
        break;
    case kSortTime: packText(row.time, key); break;
    case kSortAttributes: packText(row.attributes, key); break;
    default: packText(row.caption, key); break;
    }
    return key;
}

int ComparePanelSortKeys(const PanelSortKey& a, const PanelSortKey& b, int sortState)
{
    if (a.image != b.image)
        return a.image < b.image ? -1 : 1;
    int result = 0;
    switch (a.column) {
    case kSortSize: result = compareNumbers(b.number, a.number); break;   // bigger sizes first
    case kSortDate: result = compareDates(a, b); break;
    default: result = compareTexts(a, b); break;
    }
    return sortState < 0 ? -result : result;
}

} // namespace brisk
