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

// Every way of cutting the input into blocks gives the same bytes as the whole, a pair split
// between two blocks included.
TEST(LineEndings, ConvertsAsAWholeAndInBlocksOfAnySize)
{
    const struct {
        LineEnding target;
        std::string input;
        std::string output;
    } cases[] = {
        // the documented examples
        {LineEnding::Lf, "a\r\nb\r\n", "a\nb\n"}, {LineEnding::CrLf, "a\nb\n", "a\r\nb\r\n"},
        {LineEnding::CrLf, "a\r\nb", "a\r\nb"}, {LineEnding::Cr, "a\n\r\nb", "a\r\rb"}, {LineEnding::LfCr, "a\rb", "a\n\rb"},
        // mixed endings: pairs first, left to right; CR CR and LF LF are two line ends each
        {LineEnding::CrLf, "a\r\nb\nc\rd\n\re\r\rf\n\ng", "a\r\nb\r\nc\r\nd\r\ne\r\n\r\nf\r\n\r\ng"},
        {LineEnding::LfCr, "a\r\nb\nc\rd\n\re", "a\n\rb\n\rc\n\rd\n\re"},
        {LineEnding::Lf, "a\r\nb\nc\rd\n\re", "a\nb\nc\nd\ne"},
        {LineEnding::Cr, "a\r\nb\nc\rd\n\re", "a\rb\rc\rd\re"},
        // a lone CR at the end grows by one byte; no final line end, no line end at all
        {LineEnding::CrLf, "a\r", "a\r\n"}, {LineEnding::Lf, "a\r\nlast", "a\nlast"},
        {LineEnding::Lf, "no line ends", "no line ends"}, {LineEnding::Cr, "", ""},
        {LineEnding::CrLf, "\n", "\r\n"}, {LineEnding::Lf, "\r\n\r\n", "\n\n"},
        // other bytes, NUL and 0xFF among them, pass unchanged
        {LineEnding::CrLf, std::string("\0\xff\x1a\r\x7f\n\0", 7), std::string("\0\xff\x1a\r\n\x7f\r\n\0", 9)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.input) + " to " + std::to_string(int(c.target)));
        EXPECT_EQ(ConvertLineEndingText(c.input, c.target), c.output);
        for (size_t block = 1; block <= c.input.size(); ++block) {
            LineEndingConverter converter(c.target);
            std::string out;
            for (size_t at = 0; at < c.input.size(); at += block)
                converter.convert(std::string_view(c.input).substr(at, block), out);
            converter.finish(out);
            EXPECT_EQ(out, c.output) << "blocks of " << block;
        }
    }
}

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class ConvertFileTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return (dir_.path() / name).string(); }
    void write(const std::string& name, const std::string& bytes, mode_t mode = 0644)
    {
        test::writeFileBytes(path(name), bytes);
        fs::permissions(path(name), fs::perms(mode));
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
    Lines names() const
    {
        Lines found;
        for (const auto& entry : fs::directory_iterator(dir_.path()))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }

    test::TempDir dir_{0755};
    MainMessages messages_;
    Lines lines;
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
        EXPECT_EQ(fs::status(path("a.txt")).permissions(), fs::perms(0604));
        EXPECT_EQ(lines, Lines{line("a.txt", " Ok!")});
        EXPECT_EQ(names(), Lines{"a.txt"});
    }
}

// Missing and dangling names are skipped silently; a link's target is converted, the link kept.
TEST_F(ConvertFileTest, ReportsUnchangedAndEmptyFilesAndConvertsThroughLinks)
{
    write("plain.txt", "no line ends");
    write("empty.txt", "");
    write("target.txt", "a\nb\n");
    fs::create_symlink("target.txt", path("link.txt"));
    fs::create_symlink("nowhere.txt", path("dangling.txt"));
    for (const char* name : {"plain.txt", "empty.txt", "gone.txt", "link.txt", "dangling.txt"})
        convert(name, LineEnding::CrLf);
    EXPECT_EQ(read("plain.txt"), "no line ends");
    EXPECT_EQ(read("empty.txt"), "");
    EXPECT_EQ(read("target.txt"), "a\r\nb\r\n");
    EXPECT_TRUE(fs::is_symlink(path("link.txt")) && fs::is_symlink(path("dangling.txt")));
    EXPECT_EQ(lines, (Lines{line("plain.txt", " Ok!"), line("empty.txt", ""), line("link.txt", " Ok!")}));
}

// Files that cannot be opened, and a directory that refuses the temporary file (in memory or in
// blocks), leave every file as it was and no temporary file behind.
TEST_F(ConvertFileTest, FailuresLeaveTheFileAsItWas)
{
    const std::string big = "0123456789\r\n0123456789\r\n";
    write("locked.txt", "a\r\n", 0000);
    write("readonly.txt", "a\r\n", 0444);
    write("small.txt", "a\r\n", 0666);
    write("big.txt", big, 0666);
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0666), 0);
    fs::permissions(dir_.path(), fs::perms(0555));
    {
        const test::UnprivilegedAccess nobody;
        for (const char* name : {"locked.txt", "readonly.txt", "small.txt"})
            convert(name, LineEnding::Lf);
        convert("big.txt", LineEnding::Lf, 8);
    }
    fs::permissions(dir_.path(), fs::perms(0755));
    convert("fifo", LineEnding::Lf);   // not a regular file: turned down without waiting for a writer
    for (const char* name : {"locked.txt", "readonly.txt", "small.txt"})
        EXPECT_EQ(read(name), "a\r\n") << name;
    EXPECT_EQ(read("big.txt"), big);
    EXPECT_EQ(lines, (Lines{line("locked.txt", " Open file error!"), line("readonly.txt", " Open file error!"),
                            line("small.txt", " Write file error!"), line("big.txt", " Write file error!"),
                            line("fifo", " Open file error!")}));
    EXPECT_EQ(names(), (Lines{"big.txt", "fifo", "locked.txt", "readonly.txt", "small.txt"}));
}

} // namespace
} // namespace brisk
