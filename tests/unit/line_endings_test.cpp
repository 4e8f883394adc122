#include "local/line_endings.h"

#include <gtest/gtest.h>

#include <string>

namespace brisk {
namespace {

struct Case {
    LineEnding target;
    std::string input;
    std::string output;
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << int(c.target) << " " << ::testing::PrintToString(c.input);
}

class LineEndingTable : public ::testing::TestWithParam<Case> {};

TEST_P(LineEndingTable, ConvertsAsAWhole)
{
    EXPECT_EQ(ConvertLineEndingText(GetParam().input, GetParam().target), GetParam().output);
}

// Every way of cutting the input into blocks gives the same bytes, a pair split between two blocks
// included.
TEST_P(LineEndingTable, ConvertsInBlocksOfAnySize)
{
    const Case& c = GetParam();
    for (size_t block = 1; block <= c.input.size(); ++block) {
        LineEndingConverter converter(c.target);
        std::string out;
        for (size_t at = 0; at < c.input.size(); at += block)
            converter.convert(std::string_view(c.input).substr(at, block), out);
        converter.finish(out);
        EXPECT_EQ(out, c.output) << "blocks of " << block;
    }
}

const std::string kBinary("\0\xff\x1a\r\x7f\n\0", 7);

INSTANTIATE_TEST_SUITE_P(
    AllChoices, LineEndingTable,
    ::testing::Values(
        // the documented examples
        Case{LineEnding::Lf, "a\r\nb\r\n", "a\nb\n"}, Case{LineEnding::CrLf, "a\nb\n", "a\r\nb\r\n"},
        Case{LineEnding::CrLf, "a\r\nb", "a\r\nb"}, Case{LineEnding::Cr, "a\n\r\nb", "a\r\rb"},
        Case{LineEnding::LfCr, "a\rb", "a\n\rb"},
        // mixed endings: pairs first, left to right; CR CR and LF LF are two line ends each
        Case{LineEnding::CrLf, "a\r\nb\nc\rd\n\re\r\rf\n\ng", "a\r\nb\r\nc\r\nd\r\ne\r\n\r\nf\r\n\r\ng"},
        Case{LineEnding::LfCr, "a\r\nb\nc\rd\n\re", "a\n\rb\n\rc\n\rd\n\re"},
        Case{LineEnding::Lf, "a\r\nb\nc\rd\n\re", "a\nb\nc\nd\ne"},
        Case{LineEnding::Cr, "a\r\nb\nc\rd\n\re", "a\rb\rc\rd\re"},
        // a lone CR at the end grows by one byte; no final line end, no line end at all
        Case{LineEnding::CrLf, "a\r", "a\r\n"}, Case{LineEnding::Lf, "a\r\nlast", "a\nlast"},
        Case{LineEnding::Lf, "no line ends", "no line ends"}, Case{LineEnding::Cr, "", ""},
        Case{LineEnding::CrLf, "\n", "\r\n"}, Case{LineEnding::Lf, "\r\n\r\n", "\n\n"},
        // other bytes, NUL and 0xFF among them, pass unchanged
        Case{LineEnding::CrLf, kBinary, std::string("\0\xff\x1a\r\n\x7f\r\n\0", 9)}));

} // namespace
} // namespace brisk
