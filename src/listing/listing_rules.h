#pragma once
#include "listing/calendar_date.h"
#include "listing/remote_entry.h"
#include "listing/response_type.h"

#include <string_view>
#include <vector>

namespace brisk {

// One rule per response type. Each fills a fresh `entry` from one listing line and returns false
// when the line is not an entry at all (a "total" line, a VMS summary). `tokens` is scratch space.
bool applyTextRule(std::string_view line, RemoteEntry& entry);
bool applyMsFtp4Rule(std::string_view line, std::vector<std::string_view>& tokens, RemoteEntry& entry);
bool applyMacRule(std::string_view line, std::vector<std::string_view>& tokens, RemoteEntry& entry);
bool applyCustomRule(std::string_view line, const CustomColumns& columns,
                     std::vector<std::string_view>& tokens, RemoteEntry& entry);
bool applyVmsRule(std::string_view line, std::vector<std::string_view>& tokens, RemoteEntry& entry);
bool applyFixedColumnsRule(std::string_view line, RemoteEntry& entry);

// Unix long listing with `discardedWords` columns between the attributes and the size.
bool applyUnixColumnsRule(std::string_view line, int discardedWords, RemoteEntry& entry);

// A rule that cannot read its line sets `entry.unreadable`; the caller then keeps the whole line as
// the name.

// EPLF ("+facts\tname"), read by the automatic parser.
bool IsEplfLine(std::string_view line);
void applyEplfRule(std::string_view line, RemoteEntry& entry);

// The automatic Unix-style parser; infers the year of dates given with a time from `startDate`.
bool applyAutomaticRule(std::string_view line, const CalendarDate& startDate, RemoteEntry& entry);

} // namespace brisk
