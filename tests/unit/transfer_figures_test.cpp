#include "listing/size_display.h"
#include "session/progress_figures.h"
#include "session/queue_entry.h"

#include <gtest/gtest.h>

#include <array>
#include <ctime>

namespace brisk::transfer_figures_test {

TEST(SizeDisplay, NumbersInEachDisplay)
{
    const std::array<const char*, 3> cases[] = {
        // bytes, grouped, binary
        {"0", "0", "0 B"}, {"999", "999", "999 B"}, {"1000", "1 000", "1000 B"}, {"1023", "1 023", "1023 B"},
        {"1024", "1 024", "1.00 KiB"}, {"1536", "1 536", "1.50 KiB"},
        {"10239", "10 239", "10.0 KiB"},        // 9.999 KiB: two decimals would read "10.00"
        {"1047961", "1 047 961", "1023.4 KiB"},
        {"1048575", "1 048 575", "1.00 MiB"},   // 1023.999 KiB rounds up into the next unit
        {"1048576", "1 048 576", "1.00 MiB"}, {"1234567", "1 234 567", "1.18 MiB"},
        {"5368709120", "5 368 709 120", "5.00 GiB"}, {"9223372036854775807", "9 223 372 036 854 775 807", "8.00 EiB"},
        {"18446744073709551615", "18 446 744 073 709 551 615", "16.0 EiB"},
    };
    for (const auto& [bytes, grouped, binary] : cases) {
        EXPECT_EQ(FormatSizeForDisplay(bytes, SizeDisplay::Bytes), bytes);
        EXPECT_EQ(FormatSizeForDisplay(bytes, SizeDisplay::Grouped), grouped);
        EXPECT_EQ(FormatSizeForDisplay(bytes, SizeDisplay::Binary), binary);
    }
    EXPECT_EQ(ExactSizeText("0"), "0 bytes");
    EXPECT_EQ(ExactSizeText("1"), "1 byte");
    EXPECT_EQ(ExactSizeText("9223372036854775807"), "9223372036854775807 bytes");
}

TEST(SizeDisplay, TextsThatAreNoPlainNumberStayAsTheyAre)
{
    for (const char* text : {"", "abc", " 12", "12 ", "-5", "+5", "1.5", "12k", "18446744073709551616", "<DIR>"}) {
        for (SizeDisplay display : {SizeDisplay::Bytes, SizeDisplay::Grouped, SizeDisplay::Binary})
            EXPECT_EQ(FormatSizeForDisplay(text, display), text) << int(display);
        EXPECT_EQ(ExactSizeText(text), "") << text;
    }
}

TEST(ProgressFigures, RateKeepsTheThousandsSeparateFromTheRemainder)
{
    const std::pair<int64_t, const char*> cases[] = {{12045, "12.045 K/sec"}, {999, "0.999 K/sec"}, {5000, "5.000 K/sec"},
                                                     {0, "0.000 K/sec"}, {int64_t(3) << 40, "3298534883.328 K/sec"}};
    for (const auto& [rate, text] : cases)
        EXPECT_EQ(ProgressFigures::FormatRate(rate, "K/sec"), text) << rate;
}

TEST(ProgressFigures, FiguresOfAFileAndOfTheWholeTransfer)
{
    uint64_t now = 1000;
    ProgressFigures figures({"Sending", "Receiving", "bytes", "K/sec"}, [&] { return now; });
    const auto shown = [&] {
        return figures.caption() + "|" + figures.fileTransferred() + "|" + figures.fileTime() + "|" + figures.rateText() +
               "|" + figures.timeLeft() + "|" + figures.allTransferred() + "|" + figures.allTime() + "|" +
               std::to_string(figures.frame());
    };
    figures.open();
    figures.startFile("/home/u/report.txt", 100000, true);
    figures.update(0);   // the engine reports before its first block
    now += 4000;
    figures.update(24000);
    // 76000 bytes left at 6000 a second.
    EXPECT_EQ(shown(), "Sending report.txt (100000 bytes)|24000| 0:00:04|6.000 K/sec| 0:00:12|24000| 0:00:04|2");
    figures.endFile();
    figures.update(99);   // after its end a file's figures stay
    EXPECT_EQ(figures.allTransferred(), "24000");

    figures.startFile("b.bin", 10, false);
    now += 3600 * 1000;
    figures.update(5);
    // Receiving steps back: frame 2 to 1, then 0, then round to 20.
    const std::string frame = std::to_string(figures.frame());
    EXPECT_EQ(figures.caption() + "|" + figures.allTransferred() + "|" + figures.allTime() + "|" + frame,
              "Receiving b.bin (10 bytes)|24005| 1:00:04|1");
    figures.update(6);
    figures.update(7);
    EXPECT_EQ(figures.frame(), 20);
}

// Rate and time left count only what moved since the file started; a resume's offset, the
// engine's first report, was there already.
TEST(ProgressFigures, RateAndTimeLeftCountOnlyTheBytesMovedSinceTheFileStarted)
{
    struct Case {
        const char* what;
        int64_t size, offset, seconds, count;
        const char* rate;
        const char* left;
    };
    const Case cases[] = {
        {"fresh download", 100000, 0, 4, 24000, "6.000 K/sec", " 0:00:12"},
        {"resumed download at 20 MB/s", 1000000000, 700000000, 2, 740000000, "20000.000 K/sec", " 0:00:13"},
        {"resumed upload", 100000, 50000, 5, 60000, "2.000 K/sec", " 0:00:20"},
        {"resumed, nothing moved yet", 100000, 50000, 3, 50000, "0.000 K/sec", " 0:00:00"},
        {"resumed, under a second", 100000, 50000, 0, 70000, "0.000 K/sec", " 0:00:00"},
    };
    for (const Case& c : cases) {
        uint64_t now = 1000;
        ProgressFigures figures({"Sending", "Receiving", "bytes", "K/sec"}, [&] { return now; });
        figures.open();
        figures.startFile("f", c.size, false);
        figures.update(c.offset);
        now += uint64_t(c.seconds) * 1000;
        figures.update(c.count);
        EXPECT_EQ(figures.rateText() + "|" + figures.timeLeft(), std::string(c.rate) + "|" + c.left) << c.what;
        EXPECT_EQ(figures.fileTransferred(), std::to_string(c.count)) << c.what;
    }
}

// A resumed second file counts from its own offset, not from the first file's start.
TEST(ProgressFigures, EachFileStartsItsOwnCount)
{
    uint64_t now = 0;
    ProgressFigures figures({"Sending", "Receiving", "bytes", "K/sec"}, [&] { return now; });
    figures.open();
    figures.startFile("a", 1000, true);
    figures.update(0);
    figures.update(1000);
    figures.endFile();
    figures.startFile("b", 20000, true);
    figures.update(5000);
    now += 2000;
    figures.update(9000);
    EXPECT_EQ(figures.rateText() + "|" + figures.timeLeft(), "2.000 K/sec| 0:00:05");
}

int64_t localTime(int year, int month, int day, int hour, int minute)
{
    std::tm tm{};
    tm.tm_year = year - 1900, tm.tm_mon = month - 1, tm.tm_mday = day, tm.tm_hour = hour, tm.tm_min = minute;
    tm.tm_isdst = -1;
    return int64_t(std::mktime(&tm));
}

TEST(QueueEntry, FieldsAreSplitAtTabs)
{
    const std::tuple<const char*, DateOrder, QueueEntry> cases[] = {
        {"/pub/a.txt\t1234\t05.03.2024\t14:07", DateOrder::DayFirst, {"/pub/a.txt", 1234, localTime(2024, 3, 5, 14, 7)}},
        {"/pub/a.txt\t1234\t03.05.2024\t14:07", DateOrder::MonthFirst, {"/pub/a.txt", 1234, localTime(2024, 3, 5, 14, 7)}},
        {"a.txt\t99\t05.03.2024", DateOrder::DayFirst, {"a.txt", 99, localTime(2024, 3, 5, 0, 0)}},
        {"a.txt\t99\t05.03.2024\t25:99", DateOrder::DayFirst, {"a.txt", 99, localTime(2024, 3, 5, 0, 0)}},
        // Without a date the written file keeps its own time, never "today at midnight".
        {"a.txt\t99", DateOrder::DayFirst, {"a.txt", 99, 0}},
        {"a.txt\t\t31.02.x", DateOrder::DayFirst, {"a.txt", -1, 0}},
        {"big.iso\t8589934592", DateOrder::DayFirst, {"big.iso", 8589934592, 0}},
        {"a.txt\t-5", DateOrder::DayFirst, {"a.txt", -1, 0}},
    };
    for (const auto& [entry, order, expected] : cases) {
        const QueueEntry parsed = ParseQueueEntry(entry, order);
        EXPECT_EQ(std::tie(parsed.path, parsed.size, parsed.time), std::tie(expected.path, expected.size, expected.time))
            << entry;
    }
}

} // namespace brisk::transfer_figures_test
