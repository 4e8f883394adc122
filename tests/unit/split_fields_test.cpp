#include "listing/split_fields.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brisk {
namespace {

TEST(SplitFields, SeparatorRunsEdgesAndOtherSeparators)
{
    const struct {
        const char* separator;
        const char* text;
        std::vector<std::string> items;
    } cases[] = {
        {" ", "", {}},
        {" ", "a   b  c", {"a", "b", "c"}},
        {" ", " a b", {"", "a", "b"}},
        {" ", "a b   ", {"a", "b"}},
        {" ", "   ", {""}},
        {" ", "a\tb c\r", {"a\tb", "c"}},
        {"¦", "1¦name¦¦date¦¦attr¦", {"1", "name", "", "date", "", "attr"}},
        {"¦", "1¦name¦¦date¦¦attr¦link", {"1", "name", "", "date", "", "attr", "link"}},
        {"¦", " 1 ¦ a b ¦", {"1", "a b"}},
        {"¦", "¦x", {"", "x"}},
        {".", "a.tar.gz.", {"a", "tar", "gz"}},
        {",", "*.txt, *.doc", {"*.txt", "*.doc"}},
        {"", " abc ", {"abc"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitFields(c.separator, c.text), c.items) << c.separator << " / " << c.text;
}

} // namespace
} // namespace brisk
