#include "local/local_rows.h"

#include "listing/mask_match.h"

#include <cstdio>

namespace brisk {

namespace {

std::tm localParts(std::time_t time)
{
    std::tm parts {};
    if (!localtime_r(&time, &parts))
        parts = std::tm {};
    return parts;
}

PanelRow rowOf(const LocalEntry& entry, DateOrder order)
{
    PanelRow row;
    row.caption = entry.name;
    row.image = entry.isDirectory ? kImageDirectory : kImageFile;
    if (!entry.isDirectory)
        row.size = std::to_string(entry.size);
    row.date = FormatLocalDate(entry.modified, order);
    row.time = FormatLocalTime(entry.modified);
    return row;
}

} // namespace

std::string FormatLocalDate(std::time_t time, DateOrder order)
{
    const std::tm parts = localParts(time);
    const int day = parts.tm_mday;
    const int month = parts.tm_mon + 1;
    char text[48];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", order == DateOrder::DayFirst ? day : month,
                  order == DateOrder::DayFirst ? month : day, parts.tm_year + 1900);
    return text;
}

std::string FormatLocalTime(std::time_t time)
{
    const std::tm parts = localParts(time);
    char text[24];
    std::snprintf(text, sizeof text, "%02d:%02d", parts.tm_hour, parts.tm_min);
    return text;
}

std::vector<PanelRow> LocalPanelRows(const std::vector<LocalEntry>& entries, const std::string& filterMask,
                                     DateOrder order)
{
    std::vector<PanelRow> rows;
    for (const LocalEntry& entry : entries)
        if (entry.isDirectory || MatchesMask(entry.name, filterMask))
            rows.push_back(rowOf(entry, order));
    return rows;
}

} // namespace brisk
