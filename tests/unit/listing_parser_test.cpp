#include "listing/listing_date.h"
#include "listing/listing_parser.h"
#include "listing/mlsd_listing.h"
#include "listing/split_fields.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <sstream>

namespace brisk::listing_parser_test {

const CalendarDate kStartDate{2026, 12, 5};

struct ParserCase {
    std::string descriptor;
    std::vector<std::string> lines;
    std::vector<std::string> records;  // "¦" form
    std::string vmsPath = "";
    std::vector<size_t> unreadable = {};  // the records of lines no rule could read; none for any other
};

std::vector<std::string> recordsOf(const ParsedListing& listing)
{
    std::vector<std::string> records;
    for (const RemoteEntry& entry : listing.entries)
        records.push_back(joinEntryFields(entry, kRecordBar));
    return records;
}

std::vector<size_t> unreadableOf(const ParsedListing& listing)
{
    std::vector<size_t> indexes;
    for (size_t i = 0; i < listing.entries.size(); ++i)
        if (listing.entries[i].unreadable)
            indexes.push_back(i);
    return indexes;
}

const std::string kPub = "drwxr-xr-x   2 ftp      ftp          4096 Mar  3 14:05 pub";
const std::string kReadMe = "-rw-r--r--   1 ftp      ftp        123456 Dec 24  1999 read me.txt";
const std::string kOdd = "-rw-r--r--   1 ftp      ftp           10 Feb 30 12:00 odd";
const std::string kDots = "drwxr-xr-x 2 a b 4096 Mar 3 14:05 .";
const std::string kDotDot = "drwxr-xr-x 9 a b 4096 Mar 3 14:05 ..";

const ParserCase kCases[] = {
    // An unknown type character, or none, means the automatic parser.
    {"0", {kPub}, {"0¦pub¦4096¦03.03.26¦14:05¦drwxr-xr-x¦"}},
    {"", {kPub}, {"0¦pub¦4096¦03.03.26¦14:05¦drwxr-xr-x¦"}},
    {"x", {kPub}, {"0¦pub¦4096¦03.03.26¦14:05¦drwxr-xr-x¦"}},
    {"A957681", {kPub}, {"0¦pub¦4096¦03.03.26¦14:05¦drwxr-xr-x¦"}},
    {"0", {kReadMe}, {"1¦read me.txt¦123456¦24.12.99¦¦-rw-r--r--¦"}},
    {"0", {"-rw-r--r-- 1 500 2048 Dec 24 09:15 notes"}, {"1¦notes¦2048¦24.12.25¦09:15¦-rw-r--r--¦"}},
    {"0", {"lrwxrwxrwx   1 root     root            7 Jan 10  2001 bin -> usr/bin"},
     {"0¦bin¦¦10.01.01¦¦lrwxrwxrwx¦usr/bin"}},
    {"0", {kOdd}, {"1¦" + kOdd + "¦10¦error¦12:00¦-rw-r--r--¦"}, "", {0}},
    {"7", {kReadMe}, {"1¦read me.txt¦123456¦Dec 24 1999¦¦-rw-r--r--¦"}},
    {"7", {kPub}, {"0¦pub¦4096¦Mar 3¦14:05¦drwxr-xr-x¦"}},
    {"6", {"12-24-99  10:20AM       <DIR>          incoming"}, {"0¦incoming¦¦24.12.99¦10:20AM¦¦"}},
    {"6", {"01-15-01  03:47PM                 1234 file list.txt"}, {"1¦file list.txt¦1234¦15.01.01¦03:47PM¦¦"}},
    {"2", {"01-15-01 03:47PM <DIR> tools"}, {"0¦tools¦¦01-15-01¦03:47PM¦¦"}},
    {"5", {"DISK$ARCHIVE:[PUB.TOOLS]"}, {}, "PUB/TOOLS"},
    {"5", {"README.TXT;3      4/6  24-DEC-1999 10:20:30  [GROUP,OWNER]  (RWED,RWED,RE,)"},
     {"1¦README.TXT¦¦24-DEC-1999¦10:20:30¦(RWED,RWED,RE,)¦"}},
    {"5", {"SUBDIR.DIR;1      1/3  02-JAN-2001 08:00:00  [GROUP,OWNER]  (RWE,RWE,RE,E)"},
     {"0¦SUBDIR¦¦02-JAN-2001¦08:00:00¦(RWE,RWE,RE,E)¦"}},
    {"1", {"docs"}, {"0¦docs¦¦¦¦¦"}},
    {"4957681", {"-rw-r--r-- 1 ftp ftp 512 Mar 3 14:05 a.txt"}, {"1¦a.txt¦512¦3 Mar¦14:05¦-rw-r--r--¦"}},

    // Empty input and short lines.
    {"0", {}, {}}, {"5", {"", "ab", "x", "\r\n"}, {}},
    {"0", {"", "drwxr-xr-x 2 a b 1 Mar 3 14:05 x", "ok", "ok!"},
     {"0¦x¦1¦03.03.26¦14:05¦drwxr-xr-x¦", "1¦ok!¦¦error¦¦ok!¦"}, "", {1}},

    // "." and ".." never appear; an IIS directory without a name neither.
    {"0", {kDots, kDotDot}, {}}, {"7", {kDots, kDotDot}, {}}, {"9", {"drwxr-xr-x 2 a b c d 4096 Mar 3 14:05 .."}, {}},
    {"2", {"01-15-01 03:47PM <DIR> .", "01-15-01 03:47PM <DIR> .."}, {}},
    {"3", {"drwxrwxr-x folder 0 Dec 6 07:31 .."}, {}}, {"4957681", {"drwxr-xr-x 1 ftp ftp 512 Mar 3 14:05 .."}, {}},
    {"6", {"12-24-99  10:20AM       <DIR>          .", "12-24-99  10:20AM       <DIR>", "12-24-99  10:20AM  <DIR>  "}, {}},
    {"8", {"12-24-99  10:20AM                   12"}, {"1¦12-24-99  10:20AM                   12¦12¦24.12.99¦10:20AM¦¦"}, "", {0}},

    // "total" lines.
    {"0", {"total 24", "TOTAL 24"}, {}}, {"7", {"total 24"}, {}}, {"9", {"Total 24"}, {}},
    {"1", {"total 24"}, {"1¦total 24¦¦¦¦¦"}},

    // Links: a link to a file listed before or after it is a file of the file's size (its own size
    // is its target's length); to a directory, a path, another link or nothing, a directory.
    {"0", {"-rw-r--r-- 1 a b 100 Jan 10 2001 target.txt", "lrwxrwxrwx 1 a b 10 Jan 10 2001 alias -> TARGET.TXT"},
     {"1¦target.txt¦100¦10.01.01¦¦-rw-r--r--¦", "1¦alias¦100¦10.01.01¦¦lrwxrwxrwx¦TARGET.TXT"}},
    {"0",
     {"lrwxrwxrwx 1 a b 1 Jan 10 2001 l -> a", "-rw-r--r-- 1 a b 5 Jan 10 2001 A", "drwxr-xr-x 2 a b 9 Jan 10 2001 a"},
     {"0¦l¦¦10.01.01¦¦lrwxrwxrwx¦a", "1¦A¦5¦10.01.01¦¦-rw-r--r--¦", "0¦a¦9¦10.01.01¦¦drwxr-xr-x¦"}},
    {"0", {"drwxr-xr-x 2 a b 4096 Jan 10 2001 pub", "lrwxrwxrwx 1 a b 3 Jan 10 2001 p -> pub"},
     {"0¦pub¦4096¦10.01.01¦¦drwxr-xr-x¦", "0¦p¦¦10.01.01¦¦lrwxrwxrwx¦pub"}},
    {"0", {"-rw-r--r-- 1 a b 100 Jan 10 2001 x", "lrwxrwxrwx 1 a b 8 Jan 10 2001 y -> ../pub/x"},
     {"1¦x¦100¦10.01.01¦¦-rw-r--r--¦", "0¦y¦¦10.01.01¦¦lrwxrwxrwx¦../pub/x"}},
    {"0", {"lrwxrwxrwx 1 a b 8 Jan 10 2001 lonely"}, {"0¦lonely¦¦10.01.01¦¦lrwxrwxrwx¦"}},
    {"0",
     {"lrwxrwxrwx 1 a b 1 Jan 10 2001 a -> f", "-rw-r--r-- 1 a b 5 Jan 10 2001 f",
      "lrwxrwxrwx 1 a b 1 Jan 10 2001 b -> a"},
     {"1¦a¦5¦10.01.01¦¦lrwxrwxrwx¦f", "1¦f¦5¦10.01.01¦¦-rw-r--r--¦", "0¦b¦¦10.01.01¦¦lrwxrwxrwx¦a"}},
    {"0", {"lrwxrwxrwx 1 a b 1 Jan 10 2001 a->b -> c->d"}, {"0¦a->b¦¦10.01.01¦¦lrwxrwxrwx¦c->d"}},
    {"7", {"-rw-r--r-- 1 a b 9 Mar 3 14:05 f", "lrwxrwxrwx 1 a b 1 Mar 3 14:05 l -> f"},
     {"1¦f¦9¦Mar 3¦14:05¦-rw-r--r--¦", "1¦l¦9¦Mar 3¦14:05¦lrwxrwxrwx¦f"}},
    {"0", {"lrwxrwxrwx 1 a b 7 Feb 30 12:00 bin -> usr/bin"},
     {"1¦lrwxrwxrwx 1 a b 7 Feb 30 12:00 bin -> usr/bin¦7¦error¦12:00¦lrwxrwxrwx¦"}, "", {0}},

    // With or without the group column: the same record.
    {"0", {"-rw-r--r-- 1 ftp ftp 2048 Mar 3 2020 a", "-rw-r--r-- 1 ftp 2048 Mar 3 2020 a"},
     {"1¦a¦2048¦03.03.20¦¦-rw-r--r--¦", "1¦a¦2048¦03.03.20¦¦-rw-r--r--¦"}},

    // Years around the start date (a day later is a server east of here), and dates that do not exist.
    {"0", {"-rw-r--r-- 1 a b 1 Dec 5 23:59 f"}, {"1¦f¦1¦05.12.26¦23:59¦-rw-r--r--¦"}},
    {"0", {"-rw-r--r-- 1 a b 1 Dec 6 00:00 f"}, {"1¦f¦1¦06.12.26¦00:00¦-rw-r--r--¦"}},
    {"0", {"-rw-r--r-- 1 a b 1 Dec 7 00:00 f"}, {"1¦f¦1¦07.12.25¦00:00¦-rw-r--r--¦"}},
    {"0", {"-rw-r--r-- 1 a b 1 Foo 7 2011 f"}, {"1¦f¦1¦07.01.11¦¦-rw-r--r--¦"}},
    {"0", {"-rw-r--r-- 1 a b 1 Jun x 2011 f"}, {"1¦f¦1¦01.06.11¦¦-rw-r--r--¦"}},
    {"0", {"-rw-r--r-- 1 a b 1 Jun 2 20x1 f"}, {"1¦-rw-r--r-- 1 a b 1 Jun 2 20x1 f¦1¦error¦20x1¦-rw-r--r--¦"}, "", {0}},
    {"0", {"-rw-r--r-- 1 a b 1 Feb 29 10:00 f"}, {"1¦-rw-r--r-- 1 a b 1 Feb 29 10:00 f¦1¦error¦10:00¦-rw-r--r--¦"}, "", {0}},
    {"0", {"drwxr-xr-x 1 a b 1 Mar 0 10:00 d", "-rw-r--r-- 1 a b 1 Apr 31 10:00 f"},
     {"1¦drwxr-xr-x 1 a b 1 Mar 0 10:00 d¦1¦error¦10:00¦drwxr-xr-x¦",
      "1¦-rw-r--r-- 1 a b 1 Apr 31 10:00 f¦1¦error¦10:00¦-rw-r--r--¦"}, "", {0, 1}},
    {"9", {"-rw-r--r-- 1 a b c d 77 Jan 5 2020 f"}, {"1¦f¦77¦Jan 5 2020¦¦-rw-r--r--¦"}},

    // Names keep their bytes: one blank follows the time or year column, every later one is the
    // name's own. Types 2 and 3 read the name to the end of the line; type 4 keeps one word.
    {"0", {"-rw-r--r-- 1 a b 1 Jan 5 2020   two  blanks  "}, {"1¦  two  blanks  ¦1¦05.01.20¦¦-rw-r--r--¦"}},
    {"7", {"-rw-r--r-- 1 a b 1 Jan 5 2020   two  blanks  "}, {"1¦  two  blanks  ¦1¦Jan 5 2020¦¦-rw-r--r--¦"}},
    {"9", {"-rw-r--r-- 1 a b c d 1 Jan 5 12:00  x "}, {"1¦ x ¦1¦Jan 5¦12:00¦-rw-r--r--¦"}},
    {"0", {"lrwxrwxrwx 1 a b 1 Jan 5 2020  l  ->  t "}, {"0¦ l ¦¦05.01.20¦¦lrwxrwxrwx¦ t "}},
    {"6", {"01-15-01  03:47PM                 1234  lead blank.txt"}, {"1¦ lead blank.txt¦1234¦15.01.01¦03:47PM¦¦"}},
    {"6", {"01-15-01  03:47PM          12345678901 big"}, {"1¦big¦12345678901¦15.01.01¦03:47PM¦¦"}},
    {"2", {"01-15-01 03:47PM 12 my file.txt "}, {"1¦my file.txt ¦12¦01-15-01¦03:47PM¦¦"}},
    {"3", {"-------r--          0     300000   300000 Dec  6 07:31  big file.bin"}, {"1¦ big file.bin¦0¦Dec 6¦07:31¦¦"}},
    {"3", {"drwxrwxr-x               folder        0 Dec  6 07:31 adir"}, {"0¦adir¦¦Dec 6¦07:31¦¦"}},
    {"4957681", {"-rw-r--r-- 1 ftp ftp 512 Mar 3 14:05 my file"}, {"1¦my¦512¦3 Mar¦14:05¦-rw-r--r--¦"}},
    {"0", {"-rw-r--r-- 1 a b 1 Jan 5 2020 a -> b"}, {"1¦a -> b¦1¦05.01.20¦¦-rw-r--r--¦"}},
    {"0",
     {"-rw-r--r-- 1 a b 1 Jan 5 2020 \xc3\xa4\xc2\xa6\xe2\x82\xac.txt", "drwxr-xr-x 2 a b 1 Jan 5 2020 \xe6\x97\xa5"},
     {"1¦\xc3\xa4\xc2\xa6\xe2\x82\xac.txt¦1¦05.01.20¦¦-rw-r--r--¦", "0¦\xe6\x97\xa5¦1¦05.01.20¦¦drwxr-xr-x¦"}},

    // Text type, custom positions.
    {"1", {"drop table", "  x y  "}, {"0¦drop table¦¦¦¦¦", "1¦  x y  ¦¦¦¦¦"}},
    {"40a0c11", {"a b c"}, {"1¦a b c¦¦¦a¦a¦"}, "", {0}}, {"42", {"name rest"}, {"1¦rest¦¦¦¦¦"}},
    {"4200001", {"dir name 2001 x"}, {"0¦name¦¦¦¦dir¦"}},

    // VMS.
    {"5", {"DISK$ARCHIVE:[A.B]", "DISK$ARCHIVE:[C.D.E]xyz"}, {}, "C/D/E"},
    {"5", {"DISK$ARCHIVE:[A.B"}, {}, "A/B"}, {"5", {"disk$archive:[A]"}, {"1¦disk$archive:[A]¦¦¦¦¦"}},
    {"5",
     {"A_RATHER_LONG_FILE_NAME.TXT;1", "                         1/1  6-DEC-2026 07:31:03  [BRISK,USER]  (RWED,RWED,RE,)",
      "Total of 1 file, 1/1 blocks."},
     {"1¦A_RATHER_LONG_FILE_NAME.TXT¦¦6-DEC-2026¦07:31:03¦(RWED,RWED,RE,)¦"}},
    {"5", {"X.DIR;1 1/1 6-DEC-2026 07:31:03 [B] (E)", "Y.TXT;2 1/1 5-JAN-2020 10:00:00 [B,U] (RWED)"},
     {"0¦X¦¦6-DEC-2026¦07:31:03¦(E)Y.TXT;2¦"}},
    {"5", {"Y.TXT;2 1/1 5-JAN-2020 10:00:00 [B,U] (R)"}, {"1¦Y.TXT¦¦5-JAN-2020¦10:00:00¦(R)¦"}},
    {"5", {"Total of 5 files, 604/604 blocks.                 "}, {}},

    // Other fixed layouts on short lines.
    {"6", {"01-15"}, {"1¦01-15¦¦15.01.¦¦¦"}, "", {0}},
    {"9", {"drwxr-xr-x 2 u g x y 4096 Mar 3 14:05 pub"}, {"0¦pub¦4096¦Mar 3¦14:05¦drwxr-xr-x¦"}},
    {"7", {"abc"}, {"1¦abc¦¦  ¦¦abc¦"}, "", {0}},

    // Lines no rule can read (a server's error text, another format, a line that half matches) keep
    // their text as the name, and are marked so that nothing acts on them.
    {"0", {"550 Permission denied."}, {"1¦550 Permission denied.¦¦error¦¦550¦"}, "", {0}},
    {"0", {"ls: cannot open directory .: Permission denied"},
     {"1¦ls: cannot open directory .: Permission denied¦directory¦error¦denied¦ls:¦"}, "", {0}},
    {"0", {"01-15-01  03:47PM       <DIR>          incoming"},
     {"1¦01-15-01  03:47PM       <DIR>          incoming¦incoming¦error¦¦01-15-01¦"}, "", {0}},
    {"0", {"drwxr-xr-x 2 a b 4096 Mar 3 14:05", "drwxr-xr-x 2 a b 4096 Mar 3 14:05 "},
     {"1¦drwxr-xr-x 2 a b 4096 Mar 3 14:05¦4096¦03.03.26¦14:05¦drwxr-xr-x¦",
      "1¦drwxr-xr-x 2 a b 4096 Mar 3 14:05 ¦4096¦03.03.26¦14:05¦drwxr-xr-x¦"}, "", {0, 1}},
    {"7", {"-rw-r--r-- 1 a b many Mar 3 14:05 f", "-rw-r--r-- 1 a b 1 Mar 3 later f", "crw-rw-rw- 1 a b 1, 3 Mar 3 14:05 null",
           "550 Permission denied, sorry about that."},
     {"1¦-rw-r--r-- 1 a b many Mar 3 14:05 f¦many¦Mar 3¦14:05¦-rw-r--r--¦", "1¦-rw-r--r-- 1 a b 1 Mar 3 later f¦1¦Mar 3 later¦¦-rw-r--r--¦",
      "1¦crw-rw-rw- 1 a b 1, 3 Mar 3 14:05 null¦1,¦3 Mar 3¦¦crw-rw-rw-¦", "1¦550 Permission denied, sorry about that.¦about¦that.  ¦¦550¦"},
     "", {0, 1, 2, 3}},
    {"6", {"The system cannot find the path specified here.", "01-15-01  03:47PM                 12x4 f"},
     {"1¦The system cannot find the path specified here.¦find the path specifi¦ s.Th.st¦m cannot f¦¦",
      "1¦01-15-01  03:47PM                 12x4 f¦12x4¦15.01.01¦03:47PM¦¦"}, "", {0, 1}},
    {"2", {"550 Permission denied", "01-15-01 03:47PM <DIR>"},
     {"1¦550 Permission denied¦denied¦550¦Permission¦¦", "1¦01-15-01 03:47PM <DIR>¦¦01-15-01¦03:47PM¦¦"}, "", {0, 1}},
    {"3", {"drwxrwxr-x folder 0 Dec 6"}, {"1¦drwxrwxr-x folder 0 Dec 6¦¦Dec 6¦¦¦"}, "", {0}},
    {"5", {"                         1/1  6-DEC-2026 07:31:03  [BRISK,USER]  (RWED,RWED,RE,)"},
     {"1¦                         1/1  6-DEC-2026 07:31:03  [BRISK,USER]  (RWED,RWED,RE,)¦¦6-DEC-2026¦07:31:03¦(RWED,RWED,RE,)¦"}, "", {0}},
};

TEST(ParseListing, GivesRecordsAndVmsPath)
{
    for (const ParserCase& c : kCases) {
        SCOPED_TRACE("type " + c.descriptor + ": " + (c.lines.empty() ? "" : c.lines[0]));
        const ParsedListing listing = ParseListing(c.descriptor, kStartDate, c.lines);
        EXPECT_EQ(recordsOf(listing), c.records);
        EXPECT_EQ(listing.vmsPath, c.vmsPath);
        EXPECT_EQ(unreadableOf(listing), c.unreadable);
    }
}

TEST(ParseListing, LinesSplitAtLfAndRecordsJoinWithTabOrBar)
{
    EXPECT_EQ(splitListingLines("a\r\nb\n\nc"), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_EQ(splitListingLines("a\rb\r\n"), (std::vector<std::string>{"a\rb"}));
    EXPECT_TRUE(splitListingLines("").empty());
    const RemoteEntry entry{true, "a b", "", "03.03.26", "14:05", "lrwx", "t"};
    EXPECT_EQ(formatEntryTabbed(entry), "0\ta b\t\t03.03.26\t14:05\tlrwx\tt");
}

TEST(SplitFields, SeparatorRunsEdgesAndOtherSeparators)
{
    const struct {
        const char* separator;
        const char* text;
        std::vector<std::string> items;
    } cases[] = {
        {" ", "", {}}, {" ", "a   b  c", {"a", "b", "c"}}, {" ", " a b", {"", "a", "b"}}, {" ", "a b   ", {"a", "b"}},
        {" ", "   ", {""}}, {" ", "a\tb c\r", {"a\tb", "c"}}, {"¦", "1¦name¦¦date¦¦attr¦", {"1", "name", "", "date", "", "attr"}},
        {"¦", "1¦name¦¦date¦¦attr¦link", {"1", "name", "", "date", "", "attr", "link"}},
        {"¦", " 1 ¦ a b ¦", {"1", "a b"}}, {"¦", "¦x", {"", "x"}}, {".", "a.tar.gz.", {"a", "tar", "gz"}},
        {",", "*.txt, *.doc", {"*.txt", "*.doc"}}, {"", " abc ", {"abc"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitFields(c.separator, c.text), c.items) << c.separator << " / " << c.text;
}

TEST(FormatListingDate, ShowsFullYearsInTheChosenOrder)
{
    constexpr DateOrder D = DateOrder::DayFirst, M = DateOrder::MonthFirst;
    const struct {
        const char* text;
        DateOrder order;
        const char* shown;
        int fullYear = 0;
    } cases[] = {
        {"03.03.26", D, "03.03.2026"}, {"24.12.99", D, "24.12.1999"}, {"Mar 3", D, "03.03.2026"},
        {"Dec 24", D, "24.12.2025"}, {"Dec 24 1999", D, "24.12.1999"}, {"24-DEC-1999", D, "24-DEC-1999"},
        {"error", D, "error"}, {"  ", D, ""}, {" Dec 5 ", D, "05.12.2026"}, {"Dec 6", D, "06.12.2026"},
        {"Dec 7", D, "07.12.2025"},
        {"Dec 24", M, "12.24.2025"}, {"24/12/2001", D, "24.12.2001"}, {"3 Mar", D, "03.03.2026"},
        {"05.01.80", D, "05.01.1980"}, {"05.01.79", D, "05.01.2079"}, {"05.01", D, "05.01.2026"},
        {"Feb 29", D, "Feb 29"}, {"29.02.24", D, "29.02.2024"}, {"31.04.24", D, "31.04.24"},
        {"15.01.x1", D, "15.01.x1"}, {"1.2.99999999", D, "1.2.99999999"}, {"Jun 3 2100", D, "03.06.2026"},
        {"12 5", D, "12.05.2026"}, {"01.01.70", D, "01.01.1970", 1970}, {"15.06.75", M, "06.15.1975", 1975},
        {"29.02.00", D, "29.02.2000", 2000}, {"29.02.00", D, "29.02.00", 1900}, {"Dec 24", D, "24.12.2025", 1999},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatListingDate(c.text, c.order, kStartDate, c.fullYear), c.shown) << c.text << " " << c.fullYear;
}

// A date without a year up to a day after today is this year's (a server east of here lists
// today's files with tomorrow's date), across a month's end too; later ones are last year's.
TEST(FormatListingDate, TomorrowIsThisYearsAndLaterIsLastYears)
{
    const struct {
        CalendarDate today;
        const char* text;
        const char* shown;
    } cases[] = {
        {{2026, 1, 31}, "Feb 1", "01.02.2026"}, {{2026, 1, 31}, "Feb 2", "02.02.2025"},
        {{2028, 2, 28}, "Feb 29", "29.02.2028"}, {{2028, 2, 28}, "Mar 1", "01.03.2027"},
        {{2026, 12, 31}, "Dec 31", "31.12.2026"}, {{2026, 12, 31}, "Jan 1", "01.01.2026"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatListingDate(c.text, DateOrder::DayFirst, c.today, 0), c.shown) << c.text;
}

// Times given in UTC are read in a zone two hours ahead.
class ZoneTwoHoursAhead {
public:
    ZoneTwoHoursAhead()
    {
        const char* savedTz = std::getenv("TZ");
        had_ = savedTz != nullptr;
        saved_ = savedTz ? savedTz : "";
        setenv("TZ", "EET-2", 1);
        tzset();
    }
    ~ZoneTwoHoursAhead()
    {
        had_ ? setenv("TZ", saved_.c_str(), 1) : unsetenv("TZ");
        tzset();
    }

private:
    bool had_ = false;
    std::string saved_;
};

// The record, the year and the flags of an entry.
std::string recordWithFlags(const RemoteEntry& entry)
{
    return joinEntryFields(entry, "|") + "|" + std::to_string(entry.year) + (entry.unreadable ? "|unreadable" : "") +
           (entry.linkKindUnknown ? "|kind unknown" : "");
}

TEST(ParseMlsdLine, FactsBecomeTheFieldsOfAUnixListing)
{
    const ZoneTwoHoursAhead zone;
    const auto record = [](std::string_view line) {
        const auto entry = ParseMlsdLine(line);
        return entry ? recordWithFlags(*entry) : "none";
    };
    const std::pair<std::string_view, std::string> rows[] = {
        {"type=file;size=1024;modify=20261206074609;UNIX.mode=0644; a file.txt",
         "1|a file.txt|1024|06.12.26|09:46:09|-rw-r--r--||2026"},
        {"type=file;unix.mode=0o711; py", "1|py||||-rwx--x--x||0"},
        {"type=file;unix.mode=0o7777777; odd", "1|odd||||||0"},
        {"Type=dir;Modify=20251231230000.123;unix.mode=755; pub", "0|pub||01.01.26|01:00:00|drwxr-xr-x||2026"},
        {"type=dir;sizd=4096;modify=20261206074609; d", "0|d|4096|06.12.26|09:46:09|||2026"},
        // A link is a link whatever other facts come with it; its target's kind is settled by the listing.
        {"type=OS.unix=symlink;size=7;modify=20261206074609; bin", "0|bin||06.12.26|09:46:09|l||2026|kind unknown"},
        {"type=OS.unix=slink:/srv/data;size=7;unix.mode=0777; data", "0|data||||lrwxrwxrwx|/srv/data|0|kind unknown"},
        {"type=OS.UNIX=slink:../a b; l", "0|l||||l|../a b|0|kind unknown"},
        {"type=OS.unix=slink;sizd=4096;unix.mode=0755; d", "0|d||||lrwxr-xr-x||0|kind unknown"},
        {"type=file;size=99999999999999999999; huge", "1|huge||||||0"},
        {"type=file;size=0007;modify=2026120607460x; odd", "1|odd|7|||||0"},
        {"type=file;modify=20260431000000; April31", "1|April31||||||0"},
        // The directory's own entries are no entries.
        {"type=cdir;modify=20261206074609; /srv", "none"}, {"type=pdir; ..", "none"}, {"type=dir; .", "none"},
        {"", "none"}, {"  ", "none"},
        // Every other name comes out whole, for the callers to refuse and report.
        {"type=file; .", "1|.||||||0"}, {"type=file; ..", "1|..||||||0"}, {"type=file; a/b", "1|a/b||||||0"},
        {"type=dir; ../up", "0|../up||||||0"}, {"type=file;  lead blank.txt ", "1| lead blank.txt ||||||0"},
        {std::string_view("type=file; a\0b", 14), std::string("1|a\0b||||||0", 12)}, {"type=file; a\rb", "1|a\rb||||||0"},
        // Lines without a name are unreadable.
        {"type=file; ", "1|type=file; ||||||0|unreadable"},
        {"type=file;size=1;no-name-separator", "1|type=file;size=1;no-name-separator||||||0|unreadable"},
        {"garbage", "1|garbage||||||0|unreadable"},
    };
    for (const auto& [line, expected] : rows)
        EXPECT_EQ(record(line), expected) << line;
}

// Links given with a target name, or with the unique fact of what they point to, as some servers write it.
TEST(ParseMlsdFile, LinksTakeTheKindOfTheirTargetAndUnreadableLinesStayVisible)
{
    const test::TempDir dir;
    const std::filesystem::path path = dir.path() / "mlsd.txt";
    std::ofstream(path, std::ios::binary) << "type=OS.unix=slink:hello.txt; to-file\r\n"
                                             "type=OS.unix=slink:pub; to-dir\r\n"
                                             "type=OS.unix=slink:/elsewhere; away\r\n"
                                             "type=OS.unix=symlink;unique=FE01; same-disk-file\r\n"
                                             "type=OS.unix=symlink;unique=FE99; other\r\n"
                                             "type=file;size=6;unique=FE01; hello.txt\r\n"
                                             "type=dir; pub\r\n"
                                             ".hidden garbage\r\n"
                                             "type=file; .profile\r\n";
    ParsedListing parsed;
    ASSERT_TRUE(ParseMlsdFile(path.string(), false, parsed));
    std::vector<std::string> got;
    for (const RemoteEntry& e : parsed.entries)
        got.push_back(recordWithFlags(e));
    EXPECT_EQ(got, (std::vector<std::string>{"1|.hidden garbage||||||0|unreadable", "0|away||||l|/elsewhere|0|kind unknown",
                                             "1|hello.txt|6|||||0", "0|other||||l||0|kind unknown", "0|pub||||||0",
                                             "1|same-disk-file|6|||l||0", "0|to-dir||||l|pub|0",
                                             "1|to-file|6|||l|hello.txt|0"}));
}

// EPLF: "/" a directory, "r" a file that can be fetched, s the size, m the UTC time; the name is
// every byte after the TAB. Anything else is unreadable.
TEST(ParseListing, EplfLinesAreReadByTheAutomaticParser)
{
    const ZoneTwoHoursAhead zone;
    const std::pair<std::string, std::string> rows[] = {
        {"+i8388621.48594,m825718503,r,s280,\tdjb.html", "1|djb.html|280|02.03.96|00:15:03|||1996"},
        {"+i8388621.50690,m824255907,/,\tmusic", "0|music||14.02.96|01:58:27|||1996"},
        {"+r,s0,up644,\t lead  blank ", "1| lead  blank |0|||||0"},
        {"+/,r,\tboth", "0|both||||||0"},
        {"+i1,s12x,r,\tbadsize", "1|+i1,s12x,r,\tbadsize||||||0|unreadable"},
        {"+i1,m8x,r,\tbadtime", "1|+i1,m8x,r,\tbadtime||||||0|unreadable"},
        {"+i1,s5,\tneither", "1|+i1,s5,\tneither||||||0|unreadable"},
        {"+i1,r,s1 no tab", "1|+i1,r,s1 no tab||||||0|unreadable"},
        {"+i1,r,\t", "1|+i1,r,\t||||||0|unreadable"},
    };
    for (const auto& [line, expected] : rows) {
        const ParsedListing listing = ParseListing("0957681", kStartDate, {line});
        ASSERT_EQ(listing.entries.size(), 1u) << line;
        EXPECT_EQ(recordWithFlags(listing.entries[0]), expected) << line;
    }
}

// Listings captured from real servers serving one directory: files, directories, links to a file,
// to a directory listed later and to a missing path, names with leading, trailing and inner blanks,
// UTF-8 names (one holding the byte 0xA6), a name with "->", and dates of this year and of old years.
// The path is resolved before any test runs: the local panel's tests change the working directory.
const std::filesystem::path kListingsDir =
    std::filesystem::absolute(std::filesystem::path(__FILE__).parent_path() / "data" / "listings");
const CalendarDate kCaptureDay{2026, 12, 6};

ParsedListing parseCaptured(const std::string& file, const char* descriptor)
{
    std::ifstream in(kListingsDir / file, std::ios::binary);
    EXPECT_TRUE(in.good()) << file;
    std::ostringstream data;
    data << in.rdbuf();
    return ParseListing(descriptor, kCaptureDay, splitListingLines(data.str()));
}

// Kind, name, size, date and link of the entries at `indexes`, or of all.
std::vector<std::string> brief(const ParsedListing& listing, std::vector<size_t> indexes = {})
{
    if (indexes.empty())
        for (size_t i = 0; i < listing.entries.size(); ++i)
            indexes.push_back(i);
    std::vector<std::string> out;
    for (size_t i : indexes) {
        const RemoteEntry e = listing.entries.at(i);
        out.push_back((e.isDirectory ? "d|" : "f|") + e.name + "|" + e.size + "|" + e.date + "|" + e.link);
    }
    return out;
}

// The first name begins with a blank, which every server writes after the one that ends the time column.
const std::vector<std::string> kUnixAutomatic = {
    "f| lead.txt|1|06.12.26|", "f|Gr\xc3\xbc\xc3\x9f" "e.txt|4|28.02.19|", "f|a->b.txt|6|06.12.26|",
    "f|bar\xc2\xa6name.txt|5|06.12.26|", "f|big.bin|300000|20.06.26|", "d|dangling||06.12.26|../elsewhere/x",
    "f|hello.txt|6|05.12.26|", "f|in  ner.txt|3|06.12.26|", "f|link with blanks|3|06.12.26|in  ner.txt",
    "d|link-to-dir||10.01.01|pub", "f|link-to-file|6|06.12.26|hello.txt", "f|old.txt|3|10.01.01|",
    "d|pub|4096|10.01.01|", "d|sub dir|4096|06.12.26|", "f|trail.txt |2|06.12.26|",
    "d|\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e|4096|06.12.26|",
};

TEST(CapturedListing, UnixServersReadAlikeInTheAutomaticAndUnixTypes)
{
    for (const char* file : {"vsftpd.txt", "pyftpdlib.txt", "pure-ftpd.txt", "pure-ftpd-all.txt", "proftpd.txt"}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(brief(parseCaptured(file, "0957681")), kUnixAutomatic);

        // The Unix type keeps the server's dates.
        std::vector<std::string> kindNameSize, got;
        for (const std::string& b : kUnixAutomatic)
            kindNameSize.push_back(b.substr(0, b.find('|', b.find('|', 2) + 1)));
        const ParsedListing unixType = parseCaptured(file, "7");
        for (const RemoteEntry& e : unixType.entries)
            got.push_back((e.isDirectory ? "d|" : "f|") + e.name + "|" + e.size);
        ASSERT_EQ(got, kindNameSize);
        EXPECT_EQ(unixType.entries[11].date + "|" + unixType.entries[11].time, "Jan 10 2001|");
        EXPECT_TRUE(unixType.entries[6].date == "Dec 5" || unixType.entries[6].date == "Dec 05") << unixType.entries[6].date;
        EXPECT_EQ(unixType.entries[6].time, "07:15");
    }
}

TEST(CapturedListing, WindowsAndMacStyles)
{
    const ParsedListing windows = parseCaptured("pyftpdlib-windows.txt", "6");
    ASSERT_EQ(windows.entries.size(), 16u);
    EXPECT_EQ(brief(windows, {0, 7, 12, 13, 15}),
              (std::vector<std::string>{"f| lead.txt|1|06.12.26|", "f|in  ner.txt|3|06.12.26|", "d|pub||10.01.01|",
                                        "d|sub dir||06.12.26|", "d|\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e||06.12.26|"}));
    EXPECT_EQ(windows.entries[1].time, "11:00PM");

    const ParsedListing mac = parseCaptured("pyftpdlib-mac.txt", "3");
    ASSERT_EQ(mac.entries.size(), 16u);
    EXPECT_EQ(brief(mac, {0, 4, 7, 13, 14}), (std::vector<std::string>{"f| lead.txt|0|Dec 6|", "f|big.bin|0|Jun 20|",
                                                                      "f|in  ner.txt|0|Dec 6|", "d|sub dir||Dec 6|",
                                                                      "f|trail.txt |0|Dec 6|"}));
}

} // namespace brisk::listing_parser_test
