#include "listing/size_display.h"

#include <gtest/gtest.h>

namespace brisk {
namespace {

TEST(SizeDisplayTest, NumbersInEachDisplay)
{
    const struct {
        const char* bytes;
        const char* grouped;
        const char* binary;
    } cases[] = {
        {"0", "0", "0 B"},
        {"999", "999", "999 B"},
        {"1000", "1 000", "1000 B"},
        {"1023", "1 023", "1023 B"},
        {"1024", "1 024", "1.00 KiB"},
        {"1536", "1 536", "1.50 KiB"},
        {"10239", "10 239", "10.0 KiB"},     // 9.999 KiB: two decimals would read "10.00"
        {"1047961", "1 047 961", "1023.4 KiB"},
        {"1048575", "1 048 575", "1.00 MiB"}, // 1023.999 KiB rounds up into the next unit
        {"1048576", "1 048 576", "1.00 MiB"},
        {"1234567", "1 234 567", "1.18 MiB"},
        {"5368709120", "5 368 709 120", "5.00 GiB"},
        {"9223372036854775807", "9 223 372 036 854 775 807", "8.00 EiB"},
        {"18446744073709551615", "18 446 744 073 709 551 615", "16.0 EiB"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatSizeForDisplay(c.bytes, SizeDisplay::Bytes), c.bytes);
        EXPECT_EQ(FormatSizeForDisplay(c.bytes, SizeDisplay::Grouped), c.grouped);
        EXPECT_EQ(FormatSizeForDisplay(c.bytes, SizeDisplay::Binary), c.binary);
    }
}

TEST(SizeDisplayTest, TextsThatAreNoPlainNumberStayAsTheyAre)
{
    for (const char* text : {"", "abc", " 12", "12 ", "-5", "+5", "1.5", "12k", "18446744073709551616", "<DIR>"}) {
        for (SizeDisplay display : {SizeDisplay::Bytes, SizeDisplay::Grouped, SizeDisplay::Binary})
            EXPECT_EQ(FormatSizeForDisplay(text, display), text) << int(display);
        EXPECT_EQ(ExactSizeText(text), "") << text;
    }
}

TEST(SizeDisplayTest, ExactSizeNamesTheBytes)
{
    EXPECT_EQ(ExactSizeText("0"), "0 bytes");
    EXPECT_EQ(ExactSizeText("1"), "1 byte");
    EXPECT_EQ(ExactSizeText("9223372036854775807"), "9223372036854775807 bytes");
}

} // namespace
} // namespace brisk
