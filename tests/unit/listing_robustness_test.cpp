#include "cpu_clock.h"
#include "listing/listing_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brisk::listing_robustness_test {

const char* const kDescriptors[] = {"0957681", "1", "2", "3", "4957681", "5", "6", "7", "8", "9"};

// Sizes grow 64-fold: linear parsing stays within a few times the cost per unit, quadratic parsing
// grows 64 times. The small sizes keep a quadratic parser down to seconds.
constexpr size_t kFactor = 64;
constexpr double kMostGrowth = 16.0;

std::vector<std::string> hugeLine(int shape, size_t size)
{
    switch (shape) {
    case 0: {
        std::string words;
        for (size_t i = 0; i < size / 3; ++i)
            words += "ab ";
        return {words};
    }
    case 1:
        return {std::string(size, ' ') + "x"};
    case 2:
        return {"l" + std::string(size, '-') + "> y"};
    default:
        return {std::string(size / 2, 'x'), std::string(size / 2, 'y')};
    }
}

TEST(ParseListingRobustness, HugeLinesParseInLinearTime)
{
    for (const char* descriptor : kDescriptors) {
        for (int shape = 0; shape < 4; ++shape) {
            const double growth = test::growthPerUnit(
                3000, kFactor, [&](size_t size) { return hugeLine(shape, size); },
                [&](const std::vector<std::string>& lines) {
                    EXPECT_LE(ParseListing(descriptor, {2026, 12, 5}, lines).entries.size(), lines.size());
                });
            EXPECT_LT(growth, kMostGrowth) << descriptor << " shape " << shape;
        }
    }
}

std::vector<std::string> linksToMissingTargets(size_t pairs)
{
    std::vector<std::string> lines;
    for (size_t i = 0; i < pairs; ++i) {
        lines.push_back("-rw-r--r-- 1 a b 1 Jan 5 2020 f" + std::to_string(i));
        lines.push_back("lrwxrwxrwx 1 a b 1 Jan 5 2020 l" + std::to_string(i) + " -> missing" + std::to_string(i));
    }
    lines.push_back("lrwxrwxrwx 1 a b 1 Jan 5 2020 last -> F0");
    return lines;
}

TEST(ParseListingRobustness, ManyLinksResolveInLinearTime)
{
    const std::vector<std::string> lines = linksToMissingTargets(100);
    const ParsedListing listing = ParseListing("0", {2026, 12, 5}, lines);
    ASSERT_EQ(listing.entries.size(), lines.size());
    EXPECT_TRUE(listing.entries[1].isDirectory);
    EXPECT_FALSE(listing.entries.back().isDirectory);

    const double growth = test::growthPerUnit(500, kFactor, linksToMissingTargets, [](const std::vector<std::string>& l) {
        ParseListing("0", {2026, 12, 5}, l);
    });
    EXPECT_LT(growth, kMostGrowth);
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

} // namespace brisk::listing_robustness_test
