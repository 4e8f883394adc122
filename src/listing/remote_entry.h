#pragma once
#include <string>
#include <string_view>

namespace brisk {

// One remote directory entry as the listing parser produced it. Names are bytes and are never
// re-split, so a name may hold any byte (including 0xA6, which occurs inside UTF-8 names).
struct RemoteEntry {
    bool isDirectory = false;  // kind "0"; includes a symbolic link whose target's kind is unknown
    std::string name;
    std::string size;          // as the server wrote it; empty for directories
    std::string date;          // format depends on the response type; "error" for unreadable lines
    std::string time;          // empty when the server gave a year instead
    std::string attributes;    // a symbolic link's start with "l"
    std::string link;          // target of a symbolic link, when the listing names it
    int year = 0;              // the date's full year when its text shows only two digits of it, else 0
    bool unreadable = false;   // a line the parser could not read: `name` holds its text, shown only
                               // as text and never acted on by any command
    bool linkKindUnknown = false;  // a symbolic link whose target the listing does not show: it may be a
                                   // file or a directory (isDirectory is then true, size empty)

    bool operator==(const RemoteEntry&) const = default;
};

// The broken bar (U+00A6, written in UTF-8) used in the one-line record form for tests and debug output.
inline constexpr std::string_view kRecordBar = "\xC2\xA6";

// The seven fields kind, name, size, date, time, attributes, link joined by `separator`; the year is
// not part of the record text.
std::string joinEntryFields(const RemoteEntry& entry, std::string_view separator);

// The record form used by listing output of the command-line tool: the seven fields joined by TAB.
std::string formatEntryTabbed(const RemoteEntry& entry);

} // namespace brisk
