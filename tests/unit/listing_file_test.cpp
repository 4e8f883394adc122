#include "app/cli/parse_command.h"
#include "listing/listing_file_lines.h"
#include "listing/listing_parser.h"
#include "listing/remote_listing.h"

#include "temp_home.h"

#include <gtest/gtest.h>

#include <sstream>

namespace brisk::listing_file_test {

using namespace std::string_literals;

const CalendarDate kListingDay{2026, 12, 5};

class ListingFileTest : public TempHomeTest {
protected:
    std::string write(const std::string& content)
    {
        writeFile(home() + "listing.txt", content);
        return home() + "listing.txt";
    }
};

std::string unixLines(size_t count)
{
    std::string text;
    for (size_t i = 0; i < count; ++i)
        text += "-rw-r--r--   1 user  group  " + std::to_string(i) + " Mar  3 12:0" + std::to_string(i % 10) +
                " file_" + std::to_string(i) + ".txt\r\n";
    return text;
}

// Reading a listing file piece by piece, directly or through the command-line tool, must give exactly
// what parsing the whole text gives.
TEST_F(ListingFileTest, FileAndStreamedParsesEqualTheWholeTextParse)
{
    const std::string overlong = std::string(kMaxListingLineBytes + 10, 'n');
    const struct {
        const char* name;
        std::string descriptor, text, keptText;  // keptText: what the reader keeps of the text, if not all
    } cases[] = {
        {"chunk boundaries inside lines", "0957681", unixLines(3000), ""},
        {"links before and after their targets, no final LF", "0957681",
         "lrwxrwxrwx 1 u g 4 Jan 01 2020 early -> Data\ndrwxr-xr-x 2 u g 4096 Jan 01 2020 data\n"
         "-rw-r--r-- 1 u g 9 Jan 01 2020 f.txt\nlrwxrwxrwx 1 u g 4 Jan 01 2020 late -> DATA\n"
         "lrwxrwxrwx 1 u g 5 Jan 01 2020 tofile -> f.txt\nlrwxrwxrwx 1 u g 5 Jan 01 2020 dangling -> nowhere", ""},
        {"wrapped VMS names, header and a short last line", "5",
         "DISK$ARCHIVE:[USERS.BRISK]\r\n\r\nA_VERY_LONG_FILE_NAME_INDEED.TXT;1\r\n"
         "                  12/24   24-DEC-1999 10:11:12  [USER]  (RWED,RWED,RE,)\r\n"
         "SHORT.DAT;2       3/3     01-JAN-2000 00:00:00  [USER]  (RWED,RWED,RE,)\r\nTAIL.TXT;1", ""},
        {"a line beyond the line limit", "0957681", "-rw-r--r-- 1 u g 1 Jan 01 2020 " + overlong + "\nshort\n",
         ("-rw-r--r-- 1 u g 1 Jan 01 2020 " + overlong).substr(0, kMaxListingLineBytes) + "\nshort\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = write(c.text);
        const ParsedListing whole =
            ParseListing(c.descriptor, kListingDay, splitListingLines(c.keptText.empty() ? c.text : c.keptText));
        ASSERT_FALSE(whole.entries.empty());

        ParsedListing fromFile;
        ASSERT_TRUE(ParseListingFile(c.descriptor, kListingDay, path, fromFile));
        EXPECT_EQ(fromFile.entries, whole.entries);
        EXPECT_EQ(fromFile.vmsPath, whole.vmsPath);

        std::ostringstream out, err, expected;
        ASSERT_EQ(runParseCommand({"--type", c.descriptor, "--date-today", "2026-12-05", path}, out, err), 0)
            << err.str();
        for (const RemoteEntry& e : whole.entries)
            expected << formatEntryTabbed(e) << "\n";
        EXPECT_EQ(out.str(), expected.str());
    }
}

TEST_F(ListingFileTest, LinesAreCutAtLfWithoutTheCrAndAMissingFileIsAnError)
{
    std::vector<std::string> lines;
    const auto collect = [&](std::string_view line) { lines.emplace_back(line); };
    ASSERT_TRUE(forEachListingLine(write("a\r\n\nb\rc\nlast"), collect));
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "", "b\rc", "last"}));

    lines.clear();
    EXPECT_FALSE(forEachListingLine(home() + "missing.txt", collect));
    EXPECT_TRUE(lines.empty());
    ParsedListing parsed;
    EXPECT_FALSE(ParseListingFile("0", kListingDay, home() + "missing.txt", parsed));
    EXPECT_TRUE(parsed.entries.empty());
}

std::vector<RemoteEntry> manyEntries(size_t count)
{
    std::vector<RemoteEntry> entries;
    for (size_t i = 0; i < count; ++i)
        entries.push_back({i % 3 == 0, "file_" + std::to_string(i), std::to_string(i * 37), "Jan 5", i % 2 ? "14:05" : "",
                           "-rw-r--r--", i % 7 == 0 ? "target" : "", i % 5 == 0 ? 1900 + int(i % 200) : 0, i % 11 == 0,
                           i % 13 == 0});
    return entries;
}

RemoteListing listingOf(const std::vector<RemoteEntry>& entries)
{
    RemoteListing listing;
    for (const RemoteEntry& e : entries)
        listing.push_back(e);
    return listing;
}

// The listing packs its entries into blocks with variable-length field sizes.
TEST(RemoteListing, HoldsEveryEntryByteForByte)
{
    const struct {
        const char* label;
        std::vector<RemoteEntry> entries;
    } cases[] = {
        {"empty listing", {}},
        {"all fields empty", {{false, "", "", "", "", "", ""}, {true, "", "", "", "", "", ""}}},
        {"NUL, broken bar and high bytes in every field",
         {{true, "a\0b"s, "\0"s, "\xA6\xC2\xA6", "\xFF\x80", "\t\r\n", "x\0\xA6y"s}, {false, "\0\0\0"s, "12", "", "", "", "->"}}},
        {"lengths around the one- and two-byte length codes",
         {{false, std::string(127, 'a'), std::string(128, 'b'), std::string(16383, 'c'), std::string(16384, 'd'), "", ""}}},
        {"a record longer than a block between short ones",
         {{false, "before", "1", "", "", "", ""}, {true, std::string(300000, '\xA6'), "", "", "", "", std::string(70000, '\0')},
          {false, "after", "2", "", "", "", ""}}},
        {"years at the edges, after date texts of any bytes",
         {{true, "a", "", "01.01.70", "", "", "", 1}, {false, "b", "", "", "", "", "", 0xFFFF},
          {false, "c", "", "\xA6\0"s, "", "", "", 0x0100}, {false, "d", "", "\xFF", "", "", "", 0x00FF}}},
        {"many entries over many blocks", manyEntries(20000)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const RemoteListing listing = listingOf(c.entries);
        ASSERT_EQ(listing.size(), c.entries.size());
        for (size_t i = 0; i < c.entries.size(); ++i) {
            const RemoteEntry& want = c.entries[i];
            ASSERT_EQ(listing.at(i), want) << "entry " << i;
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
    std::vector<RemoteEntry> entries = manyEntries(3000);
    RemoteListing listing = listingOf(entries);
    // Entry 1430 is unreadable and has a year: changing its kind, size and link mark keeps both.
    for (size_t i : {1500, 1430}) {
        listing.setDirectory(i, true);
        listing.clearSize(i);
        listing.setLinkKindUnknown(i, i == 1500);
        entries[i].isDirectory = true;
        entries[i].size.clear();
        entries[i].linkKindUnknown = i == 1500;
    }
    listing.setSize(7, "12345");
    entries[7].size = "12345";
    for (size_t i = 0; i < entries.size(); ++i)
        ASSERT_EQ(listing[i], entries[i]) << "entry " << i;
}

} // namespace brisk::listing_file_test
