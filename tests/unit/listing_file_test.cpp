#include "app/cli/parse_command.h"
#include "listing/listing_file_lines.h"
#include "listing/listing_parser.h"

#include "temp_home.h"

#include <gtest/gtest.h>

#include <sstream>

namespace brisk {
namespace {

const CalendarDate kListingDay{2026, 12, 5};

// Reading a listing file piece by piece must give exactly what parsing the whole text gives.
class ListingFileTest : public TempHomeTest {
protected:
    std::string write(const std::string& content)
    {
        const std::string path = home() + "listing.txt";
        writeFile(path, content);
        return path;
    }
    static std::string tabbed(const RemoteListing& entries)
    {
        std::string out;
        for (const RemoteEntry& e : entries)
            out += formatEntryTabbed(e) + "\n";
        return out;
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

TEST_F(ListingFileTest, FileAndStreamedParsesEqualTheWholeTextParse)
{
    const struct {
        const char* name;
        std::string descriptor;
        std::string text;
    } cases[] = {
        {"chunk boundaries inside lines", "0957681", unixLines(3000)},
        {"links before and after their targets, no final LF", "0957681",
         "lrwxrwxrwx 1 u g 4 Jan 01 2020 early -> Data\n"
         "drwxr-xr-x 2 u g 4096 Jan 01 2020 data\n"
         "-rw-r--r-- 1 u g 9 Jan 01 2020 f.txt\n"
         "lrwxrwxrwx 1 u g 4 Jan 01 2020 late -> DATA\n"
         "lrwxrwxrwx 1 u g 5 Jan 01 2020 tofile -> f.txt\n"
         "lrwxrwxrwx 1 u g 5 Jan 01 2020 dangling -> nowhere"},
        {"wrapped VMS names, header and a short last line", "5",
         "DISK$ARCHIVE:[USERS.BRISK]\r\n\r\n"
         "A_VERY_LONG_FILE_NAME_INDEED.TXT;1\r\n"
         "                  12/24   24-DEC-1999 10:11:12  [USER]  (RWED,RWED,RE,)\r\n"
         "SHORT.DAT;2       3/3     01-JAN-2000 00:00:00  [USER]  (RWED,RWED,RE,)\r\n"
         "TAIL.TXT;1"},
        {"a line beyond the line limit", "0957681",
         "-rw-r--r-- 1 u g 1 Jan 01 2020 " + std::string(kMaxListingLineBytes + 10, 'n') + "\nshort\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = write(c.text);
        std::string expectedText = c.text;
        if (c.text.size() > kMaxListingLineBytes) {
            // What the reader keeps of an overlong line: its first bytes up to the limit.
            const size_t end = c.text.find('\n');
            if (end > kMaxListingLineBytes)
                expectedText.erase(kMaxListingLineBytes, end - kMaxListingLineBytes);
        }
        const ParsedListing whole = ParseListing(c.descriptor, kListingDay, splitListingLines(expectedText));
        ASSERT_FALSE(whole.entries.empty());

        ParsedListing fromFile;
        ASSERT_TRUE(ParseListingFile(c.descriptor, kListingDay, path, fromFile));
        EXPECT_EQ(fromFile.entries, whole.entries);
        EXPECT_EQ(fromFile.vmsPath, whole.vmsPath);

        std::ostringstream out, err;
        ASSERT_EQ(runParseCommand({"--type", c.descriptor, "--date-today", "2026-12-05", path}, out, err), 0)
            << err.str();
        EXPECT_EQ(out.str(), tabbed(whole.entries));
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

} // namespace
} // namespace brisk
