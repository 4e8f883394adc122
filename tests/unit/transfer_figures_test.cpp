#include "session/progress_figures.h"
#include "session/queue_entry.h"

#include <gtest/gtest.h>

#include <ctime>

namespace brisk {
namespace {

TEST(ProgressFigures, RateKeepsTheThousandsSeparateFromTheRemainder)
{
    struct Case {
        int64_t rate;
        const char* text;
    };
    for (const Case& c : {Case{12045, "12.045 K/sec"}, Case{999, "0.999 K/sec"}, Case{5000, "5.000 K/sec"},
                          Case{0, "0.000 K/sec"}, Case{int64_t(3) << 40, "3298534883.328 K/sec"}})
        EXPECT_EQ(ProgressFigures::FormatRate(c.rate, "K/sec"), c.text) << c.rate;
}

TEST(ProgressFigures, FiguresOfAFileAndOfTheWholeTransfer)
{
    uint64_t now = 1000;
    ProgressFigures figures({"Sending", "Receiving", "bytes", "K/sec"}, [&] { return now; });
    figures.open();
    figures.startFile("/home/u/report.txt", 100000, true);
    EXPECT_EQ(figures.caption(), "Sending report.txt (100000 bytes)");
    now += 4000;
    figures.update(24000);
    EXPECT_EQ(figures.fileTransferred(), "24000");
    EXPECT_EQ(figures.fileTime(), " 0:00:04");
    EXPECT_EQ(figures.rateText(), "6.000 K/sec");
    EXPECT_EQ(figures.timeLeft(), " 0:00:12");   // 76000 bytes at 6000 a second
    EXPECT_EQ(figures.frame(), 1);
    figures.endFile();
    figures.update(99);   // after its end a file's figures stay
    EXPECT_EQ(figures.allTransferred(), "24000");

    figures.startFile("b.bin", 10, false);
    EXPECT_EQ(figures.caption(), "Receiving b.bin (10 bytes)");
    now += 3600 * 1000;
    figures.update(5);
    EXPECT_EQ(figures.allTransferred(), "24005");
    EXPECT_EQ(figures.allTime(), " 1:00:04");
    EXPECT_EQ(figures.frame(), 0);   // receiving steps back: 1 to 0
    figures.update(6);
    EXPECT_EQ(figures.frame(), 20);
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
    struct Case {
        const char* entry;
        DateOrder order;
        QueueEntry expected;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        const QueueEntry parsed = ParseQueueEntry(c.entry, c.order);
        EXPECT_EQ(parsed.path, c.expected.path) << c.entry;
        EXPECT_EQ(parsed.size, c.expected.size) << c.entry;
        EXPECT_EQ(parsed.time, c.expected.time) << c.entry;
    }
}

} // namespace
} // namespace brisk
