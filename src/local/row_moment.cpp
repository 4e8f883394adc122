#include "local/row_moment.h"

#include "listing/text_util.h"
#include "listing/time_of_day.h"

#include <chrono>

namespace brisk {

namespace {

constexpr int64_t kSecondsPerDay = 24 * 60 * 60;

std::optional<int> numberAt(std::string_view text, size_t from, size_t length)
{
    const std::optional<int64_t> value = decimalValue(text.substr(from, length));
    return value ? std::optional<int>(int(*value)) : std::nullopt;
}

int64_t daysSinceEpoch(const CalendarDate& date)
{
    const std::chrono::year_month_day day{std::chrono::year(date.year), std::chrono::month(unsigned(date.month)),
                                          std::chrono::day(unsigned(date.day))};
    return std::chrono::sys_days(day).time_since_epoch().count();
}

} // namespace

std::optional<CalendarDate> ReadDisplayDate(std::string_view text, DateOrder order)
{
    if (text.size() != 10 || text[2] != '.' || text[5] != '.')
        return std::nullopt;
    const bool dayFirst = order == DateOrder::DayFirst;
    const std::optional<int> day = numberAt(text, dayFirst ? 0 : 3, 2);
    const std::optional<int> month = numberAt(text, dayFirst ? 3 : 0, 2);
    const std::optional<int> year = numberAt(text, 6, 4);
    if (!day || !month || !year)
        return std::nullopt;
    const CalendarDate date{*year, *month, *day};
    return isValidDate(date) ? std::optional<CalendarDate>(date) : std::nullopt;
}

std::optional<RowMoment> RowMomentOf(const PanelRowView& row, DateOrder order, int zoneHours)
{
    const std::optional<CalendarDate> date = ReadDisplayDate(row.date, order);
    if (!date)
        return std::nullopt;
    RowMoment moment{daysSinceEpoch(*date) * kSecondsPerDay, false};
    if (const std::optional<int> time = SecondsOfDay(row.time)) {
        moment.seconds += *time - int64_t(zoneHours) * 3600;
        moment.hasTime = true;
    }
    return moment;
}

} // namespace brisk
