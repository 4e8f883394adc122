#include "listing/mask_match.h"

#include <gtest/gtest.h>

#include <string>

namespace brisk {
namespace {

TEST(MatchesMask, WildcardsListsAndCase)
{
    const struct {
        const char* name;
        const char* mask;
        bool matches;
    } cases[] = {
        {"readme.TXT", "*.txt", true},
        {"a.tar.txt", "*.txt", false},
        {"readme", "*.txt", false},
        {"a.tar.gz", "*.tar.gz", true},
        {"abc.doc", "a?c.*", true},
        {"x.doc", "*.txt,*.doc", true},
        {"x.doc", "*.txt, *.doc", true},
        {"anything at all", "", true},
        {"no dot", "*", true},
        {"no dot", "*.*", true},
        {"a.b.c", "*.*", true},
        {"a.b", "*.txt,*", true},
        {"a.b", ",*.txt", false},
        {"ac.doc", "a?c.*", false},
        {"abbbc.x", "a*b*c.x", true},
        {"abbbd.x", "a*b*c.x", false},
        {"notes.", "notes", true},
        {"\xc3\xa4" "b.txt", "?b.txt", true},
        {"\xc3\x84" "b.txt", "\xc3\xa4" "b.txt", false},
        {"ABC.Txt", "abc.tXT", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchesMask(c.name, c.mask), c.matches) << c.name << " / " << c.mask;
}

TEST(MatchesMask, PathologicalStarsStayFast)
{
    const std::string name(4000, 'a');
    const std::string mask = std::string(200, '*') + "b";
    EXPECT_FALSE(MatchesMask(name, mask));
}

} // namespace
} // namespace brisk
