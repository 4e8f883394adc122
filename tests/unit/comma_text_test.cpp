#include "platform/comma_text.h"

#include <gtest/gtest.h>

using brisk::JoinCommaText;
using brisk::SplitCommaText;
using Items = std::vector<std::string>;

TEST(CommaText, SplitsAtCommasAndUnquotedBlanks)
{
    const struct {
        std::string text;
        Items items;
    } cases[] = {
        {"txt,htm,html", {"txt", "htm", "html"}},
        {"NOOP PWD", {"NOOP", "PWD"}},
        {"  a ,  b  ", {"a", "b"}},
        {"\"SITE IDLE\",NOOP", {"SITE IDLE", "NOOP"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"a,,b", {"a", "", "b"}},
        {"a,", {"a", ""}},
        {"", {}},
        {"\t\r\n", {}},
        {"\"unterminated", {"unterminated"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitCommaText(c.text), c.items) << c.text;
}

TEST(CommaText, QuotesOnlyItemsThatNeedIt)
{
    EXPECT_EQ(JoinCommaText({"txt", "htm"}), "txt,htm");
    EXPECT_EQ(JoinCommaText({"SITE IDLE", "NOOP"}), "\"SITE IDLE\",NOOP");
    EXPECT_EQ(JoinCommaText({"a,b"}), "\"a,b\"");
    EXPECT_EQ(JoinCommaText({"say \"hi\""}), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(JoinCommaText({"a", "", "b"}), "a,,b");
}

TEST(CommaText, JoinedListsReadBackUnchanged)
{
    const Items lists[] = {
        {"NOOP", "SITE IDLE 60", "PWD"},
        {"tab\there", "comma,inside", "\"quoted\""},
        {"a", "", "b", ""},
        {"\xc3\xa9t\xc3\xa9", "\xe2\x82\xac"},
    };
    for (const Items& items : lists)
        EXPECT_EQ(SplitCommaText(JoinCommaText(items)), items);
}
