#pragma once
#include "listing/calendar_date.h"
#include "listing/date_order.h"
#include "listing/panel_row.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace brisk {

// When a panel row says its entry last changed, on one scale for both panels. The time of day is
// the wall-clock time of the panel's zone, `zoneHours` east of UTC, so the offset is taken off to
// reach UTC: a server one hour ahead of the local zone (a site TimeZone one more than the TimeZone
// option) lists 13:00 for what the local panel shows as 12:00, and the two are the same moment.
// A row without a time that reads (a listing giving the year instead) keeps its date alone and is
// no moment of any row that has one.
struct RowMoment {
    int64_t seconds = 0;
    bool hasTime = false;

    bool operator==(const RowMoment&) const = default;
};

// The date text read back in the panels' display form: "dd.mm.yyyy", or "mm.dd.yyyy" for MonthFirst.
std::optional<CalendarDate> ReadDisplayDate(std::string_view text, DateOrder order);

// Nothing when the row's date does not read as a calendar date.
std::optional<RowMoment> RowMomentOf(const PanelRowView& row, DateOrder order, int zoneHours);

} // namespace brisk
