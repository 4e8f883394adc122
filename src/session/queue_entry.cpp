#include "session/queue_entry.h"

#include "listing/split_fields.h"
#include "listing/time_of_day.h"

#include <charconv>
#include <ctime>
#include <vector>

namespace brisk {

namespace {

bool readNumber(std::string_view text, int& value)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

bool readDate(std::string_view text, DateOrder order, std::tm& tm)
{
    const std::vector<std::string> parts = SplitFields(".", text);
    int first = 0, second = 0, year = 0;
    if (parts.size() != 3 || !readNumber(parts[0], first) || !readNumber(parts[1], second) ||
        !readNumber(parts[2], year) || year < 1900 || year > 9999)
        return false;
    const int day = order == DateOrder::DayFirst ? first : second;
    const int month = order == DateOrder::DayFirst ? second : first;
    if (day < 1 || day > 31 || month < 1 || month > 12)
        return false;
    tm.tm_mday = day;
    tm.tm_mon = month - 1;
    tm.tm_year = year - 1900;
    return true;
}

// "hh:mm", or "hh:mm:ss" as an MLSD listing gives it; a time that does not read leaves midnight.
void readTime(std::string_view text, std::tm& tm)
{
    const std::optional<int> seconds = SecondsOfDay(text.substr(0, text.find(' ')));
    if (!seconds)
        return;
    tm.tm_hour = *seconds / 3600;
    tm.tm_min = *seconds / 60 % 60;
    tm.tm_sec = *seconds % 60;
}

} // namespace

int64_t PanelDateTime(std::string_view date, std::string_view time, DateOrder order)
{
    std::tm tm{};
    tm.tm_isdst = -1;
    if (!readDate(date, order, tm))
        return 0;
    readTime(time, tm);
    const std::time_t when = std::mktime(&tm);
    return when == std::time_t(-1) ? 0 : int64_t(when);
}

int64_t ParseSizeText(std::string_view text)
{
    int64_t value = -1;
    const char* end = text.data() + text.size();
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        return -1;
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end ? value : -1;
}

QueueEntry ParseQueueEntry(std::string_view entry, DateOrder order)
{
    const std::vector<std::string> fields = SplitFields("\t", entry);
    QueueEntry parsed;
    if (fields.empty())
        return parsed;
    parsed.path = fields[0];
    if (fields.size() > 1)
        parsed.size = ParseSizeText(fields[1]);
    if (fields.size() > 2)
        parsed.time = PanelDateTime(fields[2], fields.size() > 3 ? fields[3] : std::string_view(), order);
    return parsed;
}

} // namespace brisk
