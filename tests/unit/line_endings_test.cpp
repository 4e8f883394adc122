// Line endings converted as text, in blocks of any size, and in files in place: the log line and its
// outcome, the file replaced only as a whole, its permission bits kept, and failures that leave it
// as it was.
#include "local/line_ending_command.h"
#include "local/line_endings.h"

#include "file_io.h"
#include "temp_dir.h"
#include "unprivileged_access.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace brisk {
namespace {

struct EndingCase {
    LineEnding target;
    std::string input;
    std::string output;
};

void PrintTo(const EndingCase& c, std::ostream* os)
{
    *os << int(c.target) << " " << ::testing::PrintToString(c.input);
}

class LineEndingTable : public ::testing::TestWithParam<EndingCase> {};

TEST_P(LineEndingTable, ConvertsAsAWhole)
{
    EXPECT_EQ(ConvertLineEndingText(GetParam().input, GetParam().target), GetParam().output);
}

// Every way of cutting the input into blocks gives the same bytes, a pair split between two blocks
// included.
TEST_P(LineEndingTable, ConvertsInBlocksOfAnySize)
{
    const EndingCase& c = GetParam();
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
        EndingCase{LineEnding::Lf, "a\r\nb\r\n", "a\nb\n"}, EndingCase{LineEnding::CrLf, "a\nb\n", "a\r\nb\r\n"},
        EndingCase{LineEnding::CrLf, "a\r\nb", "a\r\nb"}, EndingCase{LineEnding::Cr, "a\n\r\nb", "a\r\rb"},
        EndingCase{LineEnding::LfCr, "a\rb", "a\n\rb"},
        // mixed endings: pairs first, left to right; CR CR and LF LF are two line ends each
        EndingCase{LineEnding::CrLf, "a\r\nb\nc\rd\n\re\r\rf\n\ng", "a\r\nb\r\nc\r\nd\r\ne\r\n\r\nf\r\n\r\ng"},
        EndingCase{LineEnding::LfCr, "a\r\nb\nc\rd\n\re", "a\n\rb\n\rc\n\rd\n\re"},
        EndingCase{LineEnding::Lf, "a\r\nb\nc\rd\n\re", "a\nb\nc\nd\ne"},
        EndingCase{LineEnding::Cr, "a\r\nb\nc\rd\n\re", "a\rb\rc\rd\re"},
        // a lone CR at the end grows by one byte; no final line end, no line end at all
        EndingCase{LineEnding::CrLf, "a\r", "a\r\n"}, EndingCase{LineEnding::Lf, "a\r\nlast", "a\nlast"},
        EndingCase{LineEnding::Lf, "no line ends", "no line ends"}, EndingCase{LineEnding::Cr, "", ""},
        EndingCase{LineEnding::CrLf, "\n", "\r\n"}, EndingCase{LineEnding::Lf, "\r\n\r\n", "\n\n"},
        // other bytes, NUL and 0xFF among them, pass unchanged
        EndingCase{LineEnding::CrLf, kBinary, std::string("\0\xff\x1a\r\n\x7f\r\n\0", 9)}));

namespace fs = std::filesystem;

class ConvertFileTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return (dir_.path() / name).string(); }
    std::string write(const std::string& name, const std::string& bytes, mode_t mode = 0644)
    {
        test::writeFileBytes(path(name), bytes);
        fs::permissions(path(name), fs::perms(mode));
        return path(name);
    }
    std::string read(const std::string& name) const { return test::readFileBytes(path(name)); }

    void convert(const std::string& name, LineEnding value, uint64_t budget = kLineEndingMemoryBudget)
    {
        ConvertFile(path(name), value, log_, messages_, budget);
    }
    std::string line(const std::string& name, const std::string& outcome) const
    {
        return "Converting file: " + path(name) + " ..." + outcome;
    }
    // Only the files the test made: no temporary file is left behind.
    std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(dir_.path()))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }
    static unsigned modeOf(const std::string& file) { return unsigned(fs::status(file).permissions()); }

    test::TempDir dir_{0755};
    MainMessages messages_;
    std::vector<std::string> lines;
    LogLines log_{[this](const std::string& text) {
                      lines.push_back(text);
                      return lines.size() - 1;
                  },
                  [this](size_t index, const std::string& text) { lines.at(index) += text; }};
};

// In memory, or past the memory budget in blocks (where a CR LF pair straddles the first block
// boundary, bytes 7 and 8 with blocks of 8, and a lone CR ends the file): the content is replaced
// whole, the permission bits are kept and no temporary file is left.
TEST_F(ConvertFileTest, ReplacesTheContentAndKeepsThePermissionBits)
{
    std::string content = "abcdefg\r\nhij\nk\rlm\n\r";
    for (int i = 0; i < 50; ++i)
        content += "line " + std::to_string(i) + (i % 2 ? "\r\n" : "\n");
    content += "end\r";
    for (const uint64_t budget : {kLineEndingMemoryBudget, uint64_t(8)}) {
        write("a.txt", content, 0604);
        lines.clear();
        convert("a.txt", LineEnding::CrLf, budget);
        EXPECT_EQ(read("a.txt"), ConvertLineEndingText(content, LineEnding::CrLf)) << budget;
        EXPECT_EQ(modeOf(path("a.txt")), 0604u);
        EXPECT_EQ(lines, std::vector<std::string>{line("a.txt", " Ok!")});
        EXPECT_EQ(names(), std::vector<std::string>{"a.txt"});
    }
}

TEST_F(ConvertFileTest, ReportsFilesWithoutChangesAndEmptyOnesAndSkipsMissingOnes)
{
    write("plain.txt", "no line ends");
    write("empty.txt", "");
    convert("plain.txt", LineEnding::CrLf);
    convert("empty.txt", LineEnding::CrLf);
    convert("gone.txt", LineEnding::CrLf);
    EXPECT_EQ(read("plain.txt"), "no line ends");
    EXPECT_EQ(read("empty.txt"), "");
    EXPECT_EQ(lines, (std::vector<std::string>{line("plain.txt", " Ok!"), line("empty.txt", "")}));
}

TEST_F(ConvertFileTest, ConvertsTheTargetOfALinkAndKeepsTheLink)
{
    write("target.txt", "a\nb\n");
    fs::create_symlink("target.txt", path("link.txt"));
    convert("link.txt", LineEnding::CrLf);
    EXPECT_TRUE(fs::is_symlink(path("link.txt")));
    EXPECT_EQ(read("target.txt"), "a\r\nb\r\n");
    EXPECT_EQ(lines, std::vector<std::string>{line("link.txt", " Ok!")});

    fs::create_symlink("nowhere.txt", path("dangling.txt"));
    convert("dangling.txt", LineEnding::CrLf);
    EXPECT_EQ(lines.size(), 1u);
    EXPECT_TRUE(fs::is_symlink(path("dangling.txt")));
}

TEST_F(ConvertFileTest, FilesThatCannotBeOpenedStayAsTheyWere)
{
    write("locked.txt", "a\r\n", 0000);
    write("readonly.txt", "a\r\n", 0444);
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0666), 0);
    {
        const test::UnprivilegedAccess nobody;
        convert("locked.txt", LineEnding::Lf);
        convert("readonly.txt", LineEnding::Lf);
    }
    convert("fifo", LineEnding::Lf);   // not a regular file: turned down without waiting for a writer
    EXPECT_EQ(read("locked.txt"), "a\r\n");
    EXPECT_EQ(read("readonly.txt"), "a\r\n");
    EXPECT_EQ(lines, (std::vector<std::string>{line("locked.txt", " Open file error!"),
                                               line("readonly.txt", " Open file error!"),
                                               line("fifo", " Open file error!")}));
}

// The directory refuses the temporary file: nothing is written, in memory or in blocks.
TEST_F(ConvertFileTest, AReadOnlyDirectoryLeavesTheFileUntouched)
{
    write("small.txt", "a\r\nb\r\n", 0666);
    write("big.txt", "0123456789\r\n0123456789\r\n", 0666);
    fs::permissions(dir_.path(), fs::perms(0555));
    {
        const test::UnprivilegedAccess nobody;
        convert("small.txt", LineEnding::Lf);
        convert("big.txt", LineEnding::Lf, 8);
    }
    fs::permissions(dir_.path(), fs::perms(0755));
    EXPECT_EQ(read("small.txt"), "a\r\nb\r\n");
    EXPECT_EQ(read("big.txt"), "0123456789\r\n0123456789\r\n");
    EXPECT_EQ(lines, (std::vector<std::string>{line("small.txt", " Write file error!"),
                                               line("big.txt", " Write file error!")}));
    EXPECT_EQ(names(), (std::vector<std::string>{"big.txt", "small.txt"}));
}

} // namespace
} // namespace brisk
