// Feeds arbitrary bytes to the listing parser and the panel helpers. The first byte chooses the
// response type (and for "Custom" the column digits); the rest is the listing.
#include "listing/listing_date.h"
#include "listing/listing_parser.h"
#include "listing/mask_match.h"
#include "listing/panel_row.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

std::string descriptorFor(uint8_t selector)
{
    static constexpr std::string_view kDigits = "0123456789abcdefZ";
    const char type = char('0' + selector % 10);
    if (type != '4')
        return std::string(1, type);
    std::string descriptor = "4";
    for (int i = 0; i < 6; ++i)
        descriptor += kDigits[(selector / 10 + i * 7) % kDigits.size()];
    return descriptor;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

brisk::PanelRow rowOf(const brisk::RemoteEntry& entry)
{
    brisk::PanelRow row;
    row.image = entry.isDirectory ? brisk::kImageDirectory : brisk::kImageFile;
    row.caption = entry.name;
    row.size = entry.size;
    row.date = brisk::FormatListingDate(entry.date, brisk::DateOrder::DayFirst, {2026, 12, 5});
    row.time = entry.time;
    row.attributes = entry.attributes;
    return row;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const std::string descriptor = descriptorFor(data[0]);
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const auto lines = brisk::splitListingLines(text);
    const brisk::ParsedListing listing = brisk::ParseListing(descriptor, {2026, 12, 5}, lines);
    check(listing.entries.size() <= lines.size());
    const std::string_view mask = lines.empty() ? std::string_view("*.txt") : std::string_view(lines.front());
    for (size_t i = 0; i < listing.entries.size(); ++i) {
        const brisk::RemoteEntry& entry = listing.entries[i];
        check(entry.name != "." && entry.name != "..");
        check(!entry.isDirectory || entry.link.empty() || entry.size.empty());
        brisk::MatchesMask(entry.name, mask);
        brisk::FormatListingDate(entry.date, brisk::DateOrder::MonthFirst, {2026, 12, 5});
        const brisk::PanelRow row = rowOf(entry);
        const brisk::PanelRow first = rowOf(listing.entries.front());
        for (int state = -5; state <= 5; ++state)
            check(brisk::ComparePanelRows(row, first, state, brisk::DateOrder::DayFirst)
                  == -brisk::ComparePanelRows(first, row, state, brisk::DateOrder::DayFirst));
    }
    return 0;
}
