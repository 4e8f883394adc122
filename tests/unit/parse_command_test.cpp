#include "app/cli/parse_command.h"
#include "file_io.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

namespace brisk {
namespace {

class ParseCommand : public testing::Test {
protected:
    std::string writeListing(const std::string& content)
    {
        const std::string path = (dir_.path() / "listing.txt").string();
        test::writeFileBytes(path, content);
        return path;
    }
    int run(const std::vector<std::string>& args)
    {
        out_.str("");
        err_.str("");
        return runParseCommand(args, out_, err_);
    }

    test::TempDir dir_;
    std::ostringstream out_;
    std::ostringstream err_;
};

// Records tab-separated, one a line, nothing on stderr: the default type, a given type in any argument
// position, and the start date deciding the year.
TEST_F(ParseCommand, PrintsTabSeparatedRecords)
{
    const struct {
        std::string listing;
        std::vector<std::string> args;  // "FILE" stands for the listing's path
        std::string records;
    } cases[] = {
        {"total 8\r\ndrwxr-xr-x   2 ftp ftp 4096 Dec 24 14:05 pub\r\n"
         "lrwxrwxrwx   1 ftp ftp    3 Jan 10  2001 p -> pub\r\n",
         {"--date-today", "2026-12-05", "FILE"},
         "0\tpub\t4096\t24.12.25\t14:05\tdrwxr-xr-x\t\n0\tp\t\t10.01.01\t\tlrwxrwxrwx\tpub\n"},
        {"12-24-99  10:20AM       <DIR>          incoming\n", {"FILE", "--type", "6"},
         "0\tincoming\t\t24.12.99\t10:20AM\t\t\n"},
        {"-rw-r--r-- 1 a b 1 Mar 3 14:05 f\n", {"--date-today", "2026-03-01", "FILE"},
         "1\tf\t1\t03.03.25\t14:05\t-rw-r--r--\t\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        std::replace(args.begin(), args.end(), std::string("FILE"), writeListing(c.listing));
        ASSERT_EQ(run(args), 0) << err_.str();
        EXPECT_EQ(out_.str(), c.records);
        EXPECT_EQ(err_.str(), "");
    }
}

TEST_F(ParseCommand, UsageErrorsReturnOneWithMessage)
{
    const std::string file = writeListing("x\n");
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--type"},
        {"--type", "", file},
        {"--type", "12345678", file},
        {"--date-today", "2026-02-30", file},
        {"--date-today", "26-12-05", file},
        {"--verbose", file},
        {file, file},
        {(dir_.path() / "missing.txt").string()}};
    for (const auto& args : bad) {
        EXPECT_EQ(run(args), 1) << testing::PrintToString(args);
        EXPECT_NE(err_.str(), "") << testing::PrintToString(args);
        EXPECT_EQ(out_.str(), "");
    }
}

} // namespace
} // namespace brisk
