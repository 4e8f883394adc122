#pragma once

namespace brisk {

// How the panels write dates: the "DateType" option (0 day first, 1 month first).
enum class DateOrder {
    DayFirst = 0,
    MonthFirst = 1,
};

} // namespace brisk
