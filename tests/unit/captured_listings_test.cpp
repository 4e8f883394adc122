// Listings captured from real servers serving one directory: files, directories, links to a file,
// to a directory listed later and to a missing path, names with leading, trailing and inner blanks,
// UTF-8 names (one holding the byte 0xA6), a name with "->", and dates of this year and of old years.
#include "listing/listing_parser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace brisk {
namespace {

const CalendarDate kCaptureDay{2026, 12, 6};

struct Expected {
    std::string name;
    bool isDirectory;
    std::string size;
    std::string date;
    std::string link;
};

// Resolved before any test runs: the local panel's tests change the working directory, and
// __FILE__ may be relative to the build directory.
const std::filesystem::path kListingsDir =
    std::filesystem::absolute(std::filesystem::path(__FILE__).parent_path() / "data" / "listings");

std::string readListing(const std::string& file)
{
    const auto path = kListingsDir / file;
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << path;
    std::ostringstream data;
    data << in.rdbuf();
    return data.str();
}

void expectEntries(const ParsedListing& listing, const std::vector<Expected>& expected)
{
    ASSERT_EQ(listing.entries.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const RemoteEntry& got = listing.entries[i];
        const Expected& want = expected[i];
        SCOPED_TRACE(want.name);
        EXPECT_EQ(got.name, want.name);
        EXPECT_EQ(got.isDirectory, want.isDirectory);
        EXPECT_EQ(got.size, want.size);
        EXPECT_EQ(got.date, want.date);
        EXPECT_EQ(got.link, want.link);
    }
}

ParsedListing pick(const ParsedListing& listing, std::initializer_list<size_t> indexes)
{
    ParsedListing picked;
    for (size_t i : indexes)
        picked.entries.push_back(listing.entries.at(i));
    return picked;
}

const std::vector<Expected> kUnixAutomatic = {
    {"lead.txt", false, "1", "06.12.26", ""},
    {"Gr\xc3\xbc\xc3\x9f" "e.txt", false, "4", "28.02.19", ""},
    {"a->b.txt", false, "6", "06.12.26", ""},
    {"bar\xc2\xa6name.txt", false, "5", "06.12.26", ""},
    {"big.bin", false, "300000", "20.06.26", ""},
    {"dangling", true, "", "06.12.26", "../elsewhere/x"},
    {"hello.txt", false, "6", "05.12.26", ""},
    {"in  ner.txt", false, "3", "06.12.26", ""},
    {"link with blanks", false, "11", "06.12.26", "in  ner.txt"},
    {"link-to-dir", true, "", "10.01.01", "pub"},
    {"link-to-file", false, "9", "06.12.26", "hello.txt"},
    {"old.txt", false, "3", "10.01.01", ""},
    {"pub", true, "4096", "10.01.01", ""},
    {"sub dir", true, "4096", "06.12.26", ""},
    {"trail.txt ", false, "2", "06.12.26", ""},
    {"\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e", true, "4096", "06.12.26", ""},
};

class UnixServerListing : public testing::TestWithParam<const char*> {};

TEST_P(UnixServerListing, AutomaticParserReadsEveryEntry)
{
    const auto lines = splitListingLines(readListing(GetParam()));
    expectEntries(ParseListing("0957681", kCaptureDay, lines), kUnixAutomatic);
}

TEST_P(UnixServerListing, UnixTypeKeepsNamesKindsAndSizes)
{
    const auto lines = splitListingLines(readListing(GetParam()));
    const ParsedListing listing = ParseListing("7", kCaptureDay, lines);
    ASSERT_EQ(listing.entries.size(), kUnixAutomatic.size());
    for (size_t i = 0; i < kUnixAutomatic.size(); ++i) {
        const std::string& name = kUnixAutomatic[i].name;
        // This type trims both ends of a name.
        EXPECT_EQ(listing.entries[i].name, name == "trail.txt " ? "trail.txt" : name);
        EXPECT_EQ(listing.entries[i].isDirectory, kUnixAutomatic[i].isDirectory) << name;
        EXPECT_EQ(listing.entries[i].size, kUnixAutomatic[i].size) << name;
    }
    EXPECT_EQ(listing.entries[11].date, "Jan 10 2001");
    EXPECT_EQ(listing.entries[11].time, "");
    EXPECT_TRUE(listing.entries[6].date == "Dec 5" || listing.entries[6].date == "Dec 05")
        << listing.entries[6].date;
    EXPECT_EQ(listing.entries[6].time, "07:15");
}

INSTANTIATE_TEST_SUITE_P(Captured, UnixServerListing,
                         testing::Values("vsftpd.txt", "pyftpdlib.txt", "pure-ftpd.txt", "pure-ftpd-all.txt",
                                         "proftpd.txt"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             name = name.substr(0, name.find('.'));
                             for (char& c : name) {
                                 if (c == '-')
                                     c = '_';
                             }
                             return name;
                         });

TEST(CapturedListing, WindowsStyleFixedColumns)
{
    const auto lines = splitListingLines(readListing("pyftpdlib-windows.txt"));
    const ParsedListing listing = ParseListing("6", kCaptureDay, lines);
    ASSERT_EQ(listing.entries.size(), 16u);
    expectEntries(pick(listing, {0, 7, 12, 13, 15}),
                  {{"lead.txt", false, "1", "06.12.26", ""},
                   {"in  ner.txt", false, "3", "06.12.26", ""},
                   {"pub", true, "", "10.01.01", ""},
                   {"sub dir", true, "", "06.12.26", ""},
                   {"\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e", true, "", "06.12.26", ""}});
    EXPECT_EQ(listing.entries[1].time, "11:00PM");
}

TEST(CapturedListing, MacStyleKeepsFirstWordOfNames)
{
    const auto lines = splitListingLines(readListing("pyftpdlib-mac.txt"));
    const ParsedListing listing = ParseListing("3", kCaptureDay, lines);
    ASSERT_EQ(listing.entries.size(), 16u);
    expectEntries(pick(listing, {4, 7, 13}),
                  {{"big.bin", false, "0", "Jun 20", ""},
                   {"in", false, "0", "Dec 6", ""},
                   {"sub", true, "", "Dec 6", ""}});
}

} // namespace
} // namespace brisk
