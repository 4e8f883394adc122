#include "listing/split_fields.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brisk {
namespace {

struct SplitCase {
    std::string separator;
    std::string text;
    std::vector<std::string> items;
};

class SplitFieldsTable : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitFieldsTable, Splits)
{
    EXPECT_EQ(SplitFields(GetParam().separator, GetParam().text), GetParam().items);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, SplitFieldsTable,
    testing::Values(SplitCase{" ", "", {}},
                    SplitCase{" ", "a   b  c", {"a", "b", "c"}},
                    SplitCase{" ", " a b", {"", "a", "b"}},
                    SplitCase{" ", "a b   ", {"a", "b"}},
                    SplitCase{" ", "   ", {""}},
                    SplitCase{" ", "a\tb c\r", {"a\tb", "c"}},
                    SplitCase{"¦", "1¦name¦¦date¦¦attr¦", {"1", "name", "", "date", "", "attr"}},
                    SplitCase{"¦", "1¦name¦¦date¦¦attr¦link", {"1", "name", "", "date", "", "attr", "link"}},
                    SplitCase{"¦", " 1 ¦ a b ¦", {"1", "a b"}},
                    SplitCase{"¦", "¦x", {"", "x"}},
                    SplitCase{".", "a.tar.gz.", {"a", "tar", "gz"}},
                    SplitCase{",", "*.txt, *.doc", {"*.txt", "*.doc"}},
                    SplitCase{"", " abc ", {"abc"}}));

} // namespace
} // namespace brisk
