#pragma once
#include "listing/date_order.h"
#include "listing/panel_row.h"
#include "local/local_entries.h"

#include <ctime>
#include <string>
#include <vector>

namespace brisk {

// A modification time in local time: "dd.mm.yyyy" (or "mm.dd.yyyy") and "hh:mm".
std::string FormatLocalDate(std::time_t time, DateOrder order);
std::string FormatLocalTime(std::time_t time);

// The local panel's rows for `entries`: files only when they match `filterMask`, directories always.
std::vector<PanelRow> LocalPanelRows(const std::vector<LocalEntry>& entries, const std::string& filterMask,
                                     DateOrder order);

} // namespace brisk
