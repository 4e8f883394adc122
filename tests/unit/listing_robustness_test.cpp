#include "cpu_clock.h"
#include "listing/listing_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brisk {
namespace {

const char* const kDescriptors[] = {"0957681", "1", "2", "3", "4957681", "5", "6", "7", "8", "9"};

// Generous bound in CPU seconds, which a loaded machine does not inflate: a quadratic parser needs
// hours for these inputs, a linear one milliseconds (a second or two under the sanitizers).
constexpr double kLimit = 5.0;

template <typename F>
double timed(F&& f)
{
    const double start = test::cpuSeconds();
    f();
    return test::cpuSeconds() - start;
}

TEST(ParseListingRobustness, HugeLinesParseInLinearTime)
{
    std::string words;
    for (int i = 0; i < 400000; ++i)
        words += "ab ";
    const std::vector<std::vector<std::string>> inputs = {
        {words}, {std::string(2000000, ' ') + "x"}, {"l" + std::string(2000000, '-') + "> y"},
        {std::string(1000000, 'x'), std::string(1000000, 'y')}};
    for (const char* descriptor : kDescriptors) {
        for (const auto& lines : inputs) {
            ParsedListing listing;
            EXPECT_LT(timed([&] { listing = ParseListing(descriptor, {2026, 12, 5}, lines); }), kLimit)
                << descriptor;
            EXPECT_LE(listing.entries.size(), lines.size());
        }
    }
}

TEST(ParseListingRobustness, ManyLinksResolveInLinearTime)
{
    std::vector<std::string> lines;
    for (int i = 0; i < 100000; ++i) {
        lines.push_back("-rw-r--r-- 1 a b 1 Jan 5 2020 f" + std::to_string(i));
        lines.push_back("lrwxrwxrwx 1 a b 1 Jan 5 2020 l" + std::to_string(i) + " -> missing" + std::to_string(i));
    }
    lines.push_back("lrwxrwxrwx 1 a b 1 Jan 5 2020 last -> F99999");
    ParsedListing listing;
    EXPECT_LT(timed([&] { listing = ParseListing("0", {2026, 12, 5}, lines); }), kLimit);
    ASSERT_EQ(listing.entries.size(), lines.size());
    EXPECT_TRUE(listing.entries[1].isDirectory);
    EXPECT_FALSE(listing.entries.back().isDirectory);
}

TEST(ParseListingRobustness, HostileBytesNeverBreakTheParser)
{
    std::string binary;
    for (int i = 0; i < 256; ++i)
        binary += char(i);
    const std::vector<std::string> lines = {binary, std::string("a\0b c", 5), "\xff\xfe\xfd", "l ->", "l  -> ",
                                            "-> ->", "DISK$ARCHIVE:[", "DISK$ARCHIVE:[]", "a b c d 99999999999999999999 x"};
    for (const char* descriptor : kDescriptors) {
        const ParsedListing listing = ParseListing(descriptor, {2026, 12, 5}, lines);
        for (const RemoteEntry& entry : listing.entries) {
            EXPECT_NE(entry.name, ".");
            EXPECT_NE(entry.name, "..");
        }
    }
}

} // namespace
} // namespace brisk
