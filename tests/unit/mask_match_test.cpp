#include "listing/mask_match.h"

#include <gtest/gtest.h>

#include <string>

namespace brisk {
namespace {

struct MaskCase {
    std::string name;
    std::string mask;
    bool matches;
};

class MatchesMaskTable : public testing::TestWithParam<MaskCase> {};

TEST_P(MatchesMaskTable, Matches)
{
    EXPECT_EQ(MatchesMask(GetParam().name, GetParam().mask), GetParam().matches)
        << GetParam().name << " / " << GetParam().mask;
}

INSTANTIATE_TEST_SUITE_P(
    Masks, MatchesMaskTable,
    testing::Values(MaskCase{"readme.TXT", "*.txt", true},
                    MaskCase{"a.tar.txt", "*.txt", false},
                    MaskCase{"readme", "*.txt", false},
                    MaskCase{"a.tar.gz", "*.tar.gz", true},
                    MaskCase{"abc.doc", "a?c.*", true},
                    MaskCase{"x.doc", "*.txt,*.doc", true},
                    MaskCase{"x.doc", "*.txt, *.doc", true},
                    MaskCase{"anything at all", "", true},
                    MaskCase{"no dot", "*", true},
                    MaskCase{"no dot", "*.*", true},
                    MaskCase{"a.b.c", "*.*", true},
                    MaskCase{"a.b", "*.txt,*", true},
                    MaskCase{"a.b", ",*.txt", false},
                    MaskCase{"ac.doc", "a?c.*", false},
                    MaskCase{"abbbc.x", "a*b*c.x", true},
                    MaskCase{"abbbd.x", "a*b*c.x", false},
                    MaskCase{"notes.", "notes", true},
                    MaskCase{"\xc3\xa4" "b.txt", "?b.txt", true},
                    MaskCase{"\xc3\x84" "b.txt", "\xc3\xa4" "b.txt", false},
                    MaskCase{"ABC.Txt", "abc.tXT", true}));

TEST(MatchesMask, PathologicalStarsStayFast)
{
    const std::string name(4000, 'a');
    const std::string mask = std::string(200, '*') + "b";
    EXPECT_FALSE(MatchesMask(name, mask));
}

} // namespace
} // namespace brisk
