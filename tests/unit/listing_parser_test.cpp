#include "listing/listing_parser.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace brisk {
namespace {

const CalendarDate kStartDate{2026, 12, 5};

struct ParserCase {
    const char* label;
    std::string descriptor;
    std::vector<std::string> lines;
    std::vector<std::string> records;  // "¦" form
    std::string vmsPath;
};

void PrintTo(const ParserCase& c, std::ostream* os)
{
    *os << c.label;
}

std::vector<std::string> recordsOf(const ParsedListing& listing)
{
    std::vector<std::string> records;
    for (const RemoteEntry& entry : listing.entries)
        records.push_back(joinEntryFields(entry, kRecordBar));
    return records;
}

const std::string kOdd = "-rw-r--r--   1 ftp      ftp           10 Feb 30 12:00 odd";

const ParserCase kCases[] = {
    // Worked examples.
    {"auto_directory", "0", {"drwxr-xr-x   2 ftp      ftp          4096 Mar  3 14:05 pub"},
     {"0¦pub¦4096¦03.03.26¦14:05¦drwxr-xr-x¦"}, ""},
    // An unknown type character, or none, means the automatic parser.
    {"unknown_type_none", "", {"drwxr-xr-x   2 ftp      ftp          4096 Mar  3 14:05 pub"},
     {"0¦pub¦4096¦03.03.26¦14:05¦drwxr-xr-x¦"}, ""},
    {"unknown_type_x", "x", {"drwxr-xr-x   2 ftp      ftp          4096 Mar  3 14:05 pub"},
     {"0¦pub¦4096¦03.03.26¦14:05¦drwxr-xr-x¦"}, ""},
    {"unknown_type_letter_with_positions", "A957681", {"drwxr-xr-x   2 ftp      ftp          4096 Mar  3 14:05 pub"},
     {"0¦pub¦4096¦03.03.26¦14:05¦drwxr-xr-x¦"}, ""},
    {"auto_year_and_blank_in_name", "0",
     {"-rw-r--r--   1 ftp      ftp        123456 Dec 24  1999 read me.txt"},
     {"1¦read me.txt¦123456¦24.12.99¦¦-rw-r--r--¦"}, ""},
    {"auto_no_group_later_date_is_last_year", "0", {"-rw-r--r-- 1 500 2048 Dec 24 09:15 notes"},
     {"1¦notes¦2048¦24.12.25¦09:15¦-rw-r--r--¦"}, ""},
    {"auto_link_to_unknown_is_directory", "0",
     {"lrwxrwxrwx   1 root     root            7 Jan 10  2001 bin -> usr/bin"},
     {"0¦bin¦¦10.01.01¦¦lrwxrwxrwx¦usr/bin"}, ""},
    {"auto_invalid_date_is_error_line", "0", {kOdd}, {"1¦" + kOdd + "¦10¦error¦12:00¦-rw-r--r--¦"}, ""},
    {"unix7_year", "7", {"-rw-r--r--   1 ftp      ftp        123456 Dec 24  1999 read me.txt"},
     {"1¦read me.txt¦123456¦Dec 24 1999¦¦-rw-r--r--¦"}, ""},
    {"unix7_time", "7", {"drwxr-xr-x   2 ftp      ftp          4096 Mar  3 14:05 pub"},
     {"0¦pub¦4096¦Mar 3¦14:05¦drwxr-xr-x¦"}, ""},
    {"iis5_directory", "6", {"12-24-99  10:20AM       <DIR>          incoming"},
     {"0¦incoming¦¦24.12.99¦10:20AM¦¦"}, ""},
    {"iis5_file_with_blank", "6", {"01-15-01  03:47PM                 1234 file list.txt"},
     {"1¦file list.txt¦1234¦15.01.01¦03:47PM¦¦"}, ""},
    {"iis4_directory", "2", {"01-15-01 03:47PM <DIR> tools"}, {"0¦tools¦¦01-15-01¦03:47PM¦¦"}, ""},
    {"vms_header", "5", {"DISK$ARCHIVE:[PUB.TOOLS]"}, {}, "PUB/TOOLS"},
    {"vms_file", "5", {"README.TXT;3      4/6  24-DEC-1999 10:20:30  [GROUP,OWNER]  (RWED,RWED,RE,)"},
     {"1¦README.TXT¦¦24-DEC-1999¦10:20:30¦(RWED,RWED,RE,)¦"}, ""},
    {"vms_directory", "5", {"SUBDIR.DIR;1      1/3  02-JAN-2001 08:00:00  [GROUP,OWNER]  (RWE,RWE,RE,E)"},
     {"0¦SUBDIR¦¦02-JAN-2001¦08:00:00¦(RWE,RWE,RE,E)¦"}, ""},
    {"text_d_is_directory", "1", {"docs"}, {"0¦docs¦¦¦¦¦"}, ""},
    {"custom_columns", "4957681", {"-rw-r--r-- 1 ftp ftp 512 Mar 3 14:05 a.txt"},
     {"1¦a.txt¦512¦3 Mar¦14:05¦-rw-r--r--¦"}, ""},

    // Empty input and short lines.
    {"empty_listing", "0", {}, {}, ""},
    {"only_short_lines", "5", {"", "ab", "x", "\r\n"}, {}, ""},
    {"short_lines_skipped_between_entries", "0",
     {"", "drwxr-xr-x 2 a b 1 Mar 3 14:05 x", "ok", "ok!"},
     {"0¦x¦1¦03.03.26¦14:05¦drwxr-xr-x¦", "1¦ok!¦¦error¦¦ok!¦"}, ""},

    // "." and ".." never appear.
    {"dots_auto", "0", {"drwxr-xr-x 2 a b 4096 Mar 3 14:05 .", "drwxr-xr-x 9 a b 4096 Mar 3 14:05 .."}, {}, ""},
    {"dots_unix7", "7", {"drwxr-xr-x 2 a b 4096 Mar 3 14:05 .", "drwxr-xr-x 9 a b 4096 Mar 3 14:05 .."}, {}, ""},
    {"dots_wu2", "9", {"drwxr-xr-x 2 a b c d 4096 Mar 3 14:05 .."}, {}, ""},
    {"dots_iis4", "2", {"01-15-01 03:47PM <DIR> .", "01-15-01 03:47PM <DIR> .."}, {}, ""},
    {"dots_mac", "3", {"drwxrwxr-x folder 0 Dec 6 07:31 .."}, {}, ""},
    {"dots_custom", "4957681", {"drwxr-xr-x 1 ftp ftp 512 Mar 3 14:05 .."}, {}, ""},
    {"dots_iis5_and_nameless_directory", "6",
     {"12-24-99  10:20AM       <DIR>          .", "12-24-99  10:20AM       <DIR>", "12-24-99  10:20AM       <DIR>   "},
     {}, ""},
    {"nameless_file_iis5_kept", "8", {"12-24-99  10:20AM                   12"},
     {"1¦¦12¦24.12.99¦10:20AM¦¦"}, ""},

    // "total" lines.
    {"total_auto", "0", {"total 24"}, {}, ""},
    {"total_auto_upper", "0", {"TOTAL 24"}, {}, ""},
    {"total_unix7", "7", {"total 24"}, {}, ""},
    {"total_wu2", "9", {"Total 24"}, {}, ""},
    {"total_text", "1", {"total 24"}, {"1¦total 24¦¦¦¦¦"}, ""},

    // Links.
    {"link_to_earlier_file_keeps_size", "0",
     {"-rw-r--r-- 1 a b 100 Jan 10 2001 target.txt", "lrwxrwxrwx 1 a b 10 Jan 10 2001 alias -> TARGET.TXT"},
     {"1¦target.txt¦100¦10.01.01¦¦-rw-r--r--¦", "1¦alias¦10¦10.01.01¦¦lrwxrwxrwx¦TARGET.TXT"}, ""},
    {"link_to_earlier_directory", "0",
     {"drwxr-xr-x 2 a b 4096 Jan 10 2001 pub", "lrwxrwxrwx 1 a b 3 Jan 10 2001 p -> pub"},
     {"0¦pub¦4096¦10.01.01¦¦drwxr-xr-x¦", "0¦p¦¦10.01.01¦¦lrwxrwxrwx¦pub"}, ""},
    {"link_to_later_name_is_directory", "0",
     {"lrwxrwxrwx 1 a b 3 Jan 10 2001 p -> f", "-rw-r--r-- 1 a b 100 Jan 10 2001 f"},
     {"0¦p¦¦10.01.01¦¦lrwxrwxrwx¦f", "1¦f¦100¦10.01.01¦¦-rw-r--r--¦"}, ""},
    {"link_to_path_is_directory", "0",
     {"-rw-r--r-- 1 a b 100 Jan 10 2001 x", "lrwxrwxrwx 1 a b 8 Jan 10 2001 y -> ../pub/x"},
     {"1¦x¦100¦10.01.01¦¦-rw-r--r--¦", "0¦y¦¦10.01.01¦¦lrwxrwxrwx¦../pub/x"}, ""},
    {"link_without_arrow", "0", {"lrwxrwxrwx 1 a b 8 Jan 10 2001 lonely"},
     {"0¦lonely¦¦10.01.01¦¦lrwxrwxrwx¦"}, ""},
    {"links_are_not_link_targets", "0",
     {"lrwxrwxrwx 1 a b 1 Jan 10 2001 a -> f", "-rw-r--r-- 1 a b 5 Jan 10 2001 f",
      "lrwxrwxrwx 1 a b 1 Jan 10 2001 b -> a"},
     {"0¦a¦¦10.01.01¦¦lrwxrwxrwx¦f", "1¦f¦5¦10.01.01¦¦-rw-r--r--¦", "0¦b¦¦10.01.01¦¦lrwxrwxrwx¦a"}, ""},
    {"link_named_with_arrow", "0", {"lrwxrwxrwx 1 a b 1 Jan 10 2001 a->b -> c->d"},
     {"0¦a->b¦¦10.01.01¦¦lrwxrwxrwx¦c->d"}, ""},
    {"link_in_unix7", "7",
     {"-rw-r--r-- 1 a b 9 Mar 3 14:05 f", "lrwxrwxrwx 1 a b 1 Mar 3 14:05 l -> f"},
     {"1¦f¦9¦Mar 3¦14:05¦-rw-r--r--¦", "1¦l¦1¦Mar 3¦14:05¦lrwxrwxrwx¦f"}, ""},
    {"link_in_invalid_date_line", "0", {"lrwxrwxrwx 1 a b 7 Feb 30 12:00 bin -> usr/bin"},
     {"0¦lrwxrwxrwx 1 a b 7 Feb 30 12:00 bin¦¦error¦12:00¦lrwxrwxrwx¦usr/bin"}, ""},

    // Group column or not: same record.
    {"with_and_without_group", "0",
     {"-rw-r--r-- 1 ftp ftp 2048 Mar 3 2020 a", "-rw-r--r-- 1 ftp 2048 Mar 3 2020 a"},
     {"1¦a¦2048¦03.03.20¦¦-rw-r--r--¦", "1¦a¦2048¦03.03.20¦¦-rw-r--r--¦"}, ""},

    // Year inference around the start date.
    {"start_date_itself_is_this_year", "0", {"-rw-r--r-- 1 a b 1 Dec 5 23:59 f"},
     {"1¦f¦1¦05.12.26¦23:59¦-rw-r--r--¦"}, ""},
    {"day_after_start_is_last_year", "0", {"-rw-r--r-- 1 a b 1 Dec 6 00:00 f"},
     {"1¦f¦1¦06.12.25¦00:00¦-rw-r--r--¦"}, ""},
    {"unknown_month_is_january", "0", {"-rw-r--r-- 1 a b 1 Foo 7 2011 f"},
     {"1¦f¦1¦07.01.11¦¦-rw-r--r--¦"}, ""},
    {"day_not_a_number_is_first", "0", {"-rw-r--r-- 1 a b 1 Jun x 2011 f"},
     {"1¦f¦1¦01.06.11¦¦-rw-r--r--¦"}, ""},
    {"year_word_not_a_number_is_error", "0", {"-rw-r--r-- 1 a b 1 Jun 2 20x1 f"},
     {"1¦-rw-r--r-- 1 a b 1 Jun 2 20x1 f¦1¦error¦20x1¦-rw-r--r--¦"}, ""},
    {"feb29_of_common_year_is_error", "0", {"-rw-r--r-- 1 a b 1 Feb 29 10:00 f"},
     {"1¦-rw-r--r-- 1 a b 1 Feb 29 10:00 f¦1¦error¦10:00¦-rw-r--r--¦"}, ""},
    {"day_zero_and_april_31_are_errors", "0",
     {"drwxr-xr-x 1 a b 1 Mar 0 10:00 d", "-rw-r--r-- 1 a b 1 Apr 31 10:00 f"},
     {"1¦drwxr-xr-x 1 a b 1 Mar 0 10:00 d¦1¦error¦10:00¦drwxr-xr-x¦",
      "1¦-rw-r--r-- 1 a b 1 Apr 31 10:00 f¦1¦error¦10:00¦-rw-r--r--¦"}, ""},
    {"year_given_in_unix_types", "9", {"-rw-r--r-- 1 a b c d 77 Jan 5 2020 f"},
     {"1¦f¦77¦Jan 5 2020¦¦-rw-r--r--¦"}, ""},

    // Names with blanks, by type.
    {"auto_keeps_inner_and_trailing_blanks", "0", {"-rw-r--r-- 1 a b 1 Jan 5 2020   two  blanks  "},
     {"1¦two  blanks  ¦1¦05.01.20¦¦-rw-r--r--¦"}, ""},
    {"unix7_trims_name_ends", "7", {"-rw-r--r-- 1 a b 1 Jan 5 2020   two  blanks  "},
     {"1¦two  blanks¦1¦Jan 5 2020¦¦-rw-r--r--¦"}, ""},
    {"iis4_first_word_only", "2", {"01-15-01 03:47PM 12 my file.txt"}, {"1¦my¦12¦01-15-01¦03:47PM¦¦"}, ""},
    {"mac_first_word_only", "3", {"-------r--          0     300000   300000 Dec  6 07:31 big file.bin"},
     {"1¦big¦0¦Dec 6¦07:31¦¦"}, ""},
    {"mac_folder", "3", {"drwxrwxr-x               folder        0 Dec  6 07:31 adir"},
     {"0¦adir¦¦Dec 6¦07:31¦¦"}, ""},
    {"custom_first_word_only", "4957681", {"-rw-r--r-- 1 ftp ftp 512 Mar 3 14:05 my file"},
     {"1¦my¦512¦3 Mar¦14:05¦-rw-r--r--¦"}, ""},
    {"names_with_arrow_are_plain_names", "0", {"-rw-r--r-- 1 a b 1 Jan 5 2020 a -> b"},
     {"1¦a -> b¦1¦05.01.20¦¦-rw-r--r--¦"}, ""},
    {"utf8_names_pass_through", "0",
     {"-rw-r--r-- 1 a b 1 Jan 5 2020 \xc3\xa4\xc2\xa6\xe2\x82\xac.txt", "drwxr-xr-x 2 a b 1 Jan 5 2020 \xe6\x97\xa5\xe6\x9c\xac"},
     {"1¦\xc3\xa4\xc2\xa6\xe2\x82\xac.txt¦1¦05.01.20¦¦-rw-r--r--¦", "0¦\xe6\x97\xa5\xe6\x9c\xac¦1¦05.01.20¦¦drwxr-xr-x¦"}, ""},

    // Text type.
    {"text_whole_line_any_d", "1", {"drop table", "  x y  "}, {"0¦drop table¦¦¦¦¦", "1¦  x y  ¦¦¦¦¦"}, ""},

    // Custom positions.
    {"custom_positions_out_of_range", "40a0c11", {"a b c"}, {"1¦¦¦¦a¦a¦"}, ""},
    {"custom_short_descriptor", "42", {"name rest"}, {"1¦rest¦¦¦¦¦"}, ""},
    {"custom_directory_from_attributes", "4200001", {"dir name 2001 x"}, {"0¦name¦¦¦¦dir¦"}, ""},

    // VMS.
    {"vms_later_header_wins", "5", {"DISK$ARCHIVE:[A.B]", "DISK$ARCHIVE:[C.D.E]xyz"}, {}, "C/D/E"},
    {"vms_header_without_bracket", "5", {"DISK$ARCHIVE:[A.B"}, {}, "A/B"},
    {"vms_header_is_case_sensitive", "5", {"disk$archive:[A]"}, {"1¦disk$archive:[A]¦¦¦¦¦"}, ""},
    {"vms_wrapped_name_is_joined", "5",
     {"A_RATHER_LONG_FILE_NAME.TXT;1", "                         1/1  6-DEC-2026 07:31:03  [BRISK,USER]  (RWED,RWED,RE,)",
      "Total of 1 file, 1/1 blocks."},
     {"1¦A_RATHER_LONG_FILE_NAME.TXT¦¦6-DEC-2026¦07:31:03¦(RWED,RWED,RE,)¦"}, ""},
    {"vms_short_line_always_joined", "5", {"X.DIR;1 1/1 6-DEC-2026 07:31:03 [B] (E)", "Y.TXT;2 1/1 5-JAN-2020 10:00:00 [B,U] (RWED)"},
     {"0¦X¦¦6-DEC-2026¦07:31:03¦(E)Y.TXT;2¦"}, ""},
    {"vms_short_last_line_stands_alone", "5", {"Y.TXT;2 1/1 5-JAN-2020 10:00:00 [B,U] (R)"},
     {"1¦Y.TXT¦¦5-JAN-2020¦10:00:00¦(R)¦"}, ""},
    {"vms_summary_dropped", "5", {"Total of 5 files, 604/604 blocks.                 "}, {}, ""},

    // Other fixed layouts.
    {"win2000_same_as_iis5", "8", {"01-15-01  03:47PM                 1234 file list.txt"},
     {"1¦file list.txt¦1234¦15.01.01¦03:47PM¦¦"}, ""},
    {"iis5_short_line_empty_fields", "6", {"01-15"}, {"1¦¦¦15.01.¦¦¦"}, ""},
    {"wu2_five_columns_before_size", "9", {"drwxr-xr-x 2 u g x y 4096 Mar 3 14:05 pub"},
     {"0¦pub¦4096¦Mar 3¦14:05¦drwxr-xr-x¦"}, ""},
    {"unix7_short_line", "7", {"abc"}, {"1¦¦¦  ¦¦abc¦"}, ""},
};

class ParseListingTable : public testing::TestWithParam<ParserCase> {};

TEST_P(ParseListingTable, GivesRecordsAndVmsPath)
{
    const ParserCase& c = GetParam();
    const ParsedListing listing = ParseListing(c.descriptor, kStartDate, c.lines);
    EXPECT_EQ(recordsOf(listing), c.records);
    EXPECT_EQ(listing.vmsPath, c.vmsPath);
}

INSTANTIATE_TEST_SUITE_P(Listing, ParseListingTable, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ParserCase>& info) { return info.param.label; });

TEST(SplitListingLines, HandlesLfCrlfAndMissingFinalNewline)
{
    EXPECT_EQ(splitListingLines("a\r\nb\n\nc"), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_EQ(splitListingLines("a\rb\r\n"), (std::vector<std::string>{"a\rb"}));
    EXPECT_TRUE(splitListingLines("").empty());
}

TEST(RemoteEntryFormat, JoinsSevenFieldsWithTabOrBar)
{
    const RemoteEntry entry{true, "a b", "", "03.03.26", "14:05", "lrwx", "t"};
    EXPECT_EQ(formatEntryTabbed(entry), "0\ta b\t\t03.03.26\t14:05\tlrwx\tt");
    EXPECT_EQ(joinEntryFields(RemoteEntry{}, kRecordBar), "1¦¦¦¦¦¦");
}

} // namespace
} // namespace brisk
