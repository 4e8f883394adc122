#include "listing/panel_rows.h"
#include "listing/remote_listing.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace brisk {
namespace {

using namespace std::string_literals;

struct ListingCase {
    const char* label;
    std::vector<RemoteEntry> entries;
};

std::vector<RemoteEntry> manyEntries(size_t count)
{
    std::vector<RemoteEntry> entries;
    for (size_t i = 0; i < count; ++i)
        entries.push_back({i % 3 == 0, "file_" + std::to_string(i), std::to_string(i * 37), "Jan 5", i % 2 ? "14:05" : "",
                           "-rw-r--r--", i % 7 == 0 ? "target" : "", i % 5 == 0 ? 1900 + int(i % 200) : 0});
    return entries;
}

std::vector<ListingCase> listingCases()
{
    return {
        {"empty listing", {}},
        {"all fields empty", {{false, "", "", "", "", "", ""}, {true, "", "", "", "", "", ""}}},
        {"NUL, broken bar and high bytes in every field",
         {{true, "a\0b"s, "\0"s, "\xA6\xC2\xA6", "\xFF\x80", "\t\r\n", "x\0\xA6y"s},
          {false, "\0\0\0"s, "12", "", "", "", "->"}}},
        {"lengths around the one- and two-byte length codes",
         {{false, std::string(127, 'a'), std::string(128, 'b'), std::string(16383, 'c'), std::string(16384, 'd'), "", ""}}},
        {"a record longer than a block between short ones",
         {{false, "before", "1", "", "", "", ""},
          {true, std::string(300000, '\xA6'), "", "", "", "", std::string(70000, '\0')},
          {false, "after", "2", "", "", "", ""}}},
        {"years at the edges, after date texts of any bytes",
         {{true, "a", "", "01.01.70", "", "", "", 1}, {false, "b", "", "", "", "", "", 0xFFFF},
          {false, "c", "", "\xA6\0"s, "", "", "", 0x0100}, {false, "d", "", "\xFF", "", "", "", 0x00FF}}},
        {"many entries over many blocks", manyEntries(20000)},
    };
}

TEST(RemoteListing, HoldsEveryEntryByteForByte)
{
    for (const ListingCase& c : listingCases()) {
        SCOPED_TRACE(c.label);
        RemoteListing listing;
        for (const RemoteEntry& e : c.entries)
            listing.push_back(e);
        ASSERT_EQ(listing.size(), c.entries.size());
        EXPECT_EQ(listing.empty(), c.entries.empty());
        for (size_t i = 0; i < c.entries.size(); ++i) {
            const RemoteEntry& want = c.entries[i];
            ASSERT_EQ(listing[i], want) << "entry " << i;
            EXPECT_EQ(listing.at(i), want);
            EXPECT_EQ(listing.name(i), want.name);
            EXPECT_EQ(listing.link(i), want.link);
            EXPECT_EQ(listing.isDirectory(i), want.isDirectory);
        }
        std::vector<RemoteEntry> iterated;
        for (const RemoteEntry& e : listing)
            iterated.push_back(e);
        EXPECT_EQ(iterated, c.entries);
        EXPECT_THROW(listing.at(c.entries.size()), std::out_of_range);

        RemoteListing copy = listing;
        EXPECT_EQ(copy, listing);
        if (!c.entries.empty()) {
            copy.setDirectory(0, !c.entries[0].isDirectory);
            EXPECT_FALSE(copy == listing);
        }
    }
}

TEST(RemoteListing, ChangingOneEntryLeavesTheOthers)
{
    const std::vector<RemoteEntry> entries = manyEntries(3000);
    RemoteListing listing;
    for (const RemoteEntry& e : entries)
        listing.push_back(e);
    const size_t changed = 1500;
    listing.setDirectory(changed, true);
    listing.clearSize(changed);
    for (size_t i = 0; i < entries.size(); ++i) {
        RemoteEntry want = entries[i];
        if (i == changed) {
            want.isDirectory = true;
            want.size.clear();
        }
        ASSERT_EQ(listing[i], want) << "entry " << i;
    }
}

PanelRow panelRow(int image, std::string caption, std::string size)
{
    return {image, std::move(caption), std::move(size), "01.02.2026", "10:00", "rw\0x"s, "l\xA6"};
}

TEST(PanelRows, RenameAndReorderKeepEveryOtherField)
{
    const std::vector<PanelRow> original = {panelRow(kImageUp, "..", ""), panelRow(kImageDirectory, "d\0ir"s, ""),
                                            panelRow(kImageFile, "f", "5000000000")};
    PanelRows rows(original);
    rows.setCaption(2, std::string(100000, 'n'));
    rows.reorder({2, 0, 1});
    PanelRow renamed = original[2];
    renamed.caption = std::string(100000, 'n');
    const std::vector<PanelRow> want = {renamed, original[0], original[1]};
    ASSERT_EQ(rows.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        const PanelRow got = rows.at(i);
        EXPECT_EQ(got.image, want[i].image);
        EXPECT_EQ(rows.image(i), want[i].image);
        EXPECT_EQ(rows.caption(i), want[i].caption);
        EXPECT_EQ(got.size, want[i].size);
        EXPECT_EQ(got.date, want[i].date);
        EXPECT_EQ(got.time, want[i].time);
        EXPECT_EQ(got.attributes, want[i].attributes);
        EXPECT_EQ(got.link, want[i].link);
    }
    EXPECT_THROW(rows.at(3), std::out_of_range);
}

} // namespace
} // namespace brisk
