#include "listing/mlsd_listing.h"

#include "listing/listing_file_lines.h"
#include "platform/ascii.h"
#include "platform/utc_stamp.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace brisk {

namespace {

struct Facts {
    std::string_view type, size, sizd, modify, mode;
};

bool allDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A byte count that fits in 64 bits, without leading zeros beyond one; empty for anything else.
std::string sizeText(std::string_view text)
{
    if (!allDigits(text) || text.size() > 19)
        return {};
    while (text.size() > 1 && text[0] == '0')
        text.remove_prefix(1);
    return std::string(text);
}

Facts readFacts(std::string_view facts)
{
    Facts f;
    while (!facts.empty()) {
        const size_t end = facts.find(';');
        const std::string_view fact = facts.substr(0, end);
        facts = end == std::string_view::npos ? std::string_view{} : facts.substr(end + 1);
        const size_t eq = fact.find('=');
        if (eq == std::string_view::npos)
            continue;
        const std::string name = lowerAscii(fact.substr(0, eq));
        const std::string_view value = fact.substr(eq + 1);
        if (name == "type")
            f.type = value;
        else if (name == "size")
            f.size = value;
        else if (name == "sizd")
            f.sizd = value;
        else if (name == "modify")
            f.modify = value;
        else if (name == "unix.mode")
            f.mode = value;
    }
    return f;
}

bool hostileName(std::string_view name)
{
    return name.empty() || name == "." || name == ".." ||
           std::any_of(name.begin(), name.end(), [](char c) { return c == '/' || (unsigned char)c < 0x20; });
}

// "rwxr-xr-x" of an octal mode such as "0755" (or "0o755"); empty when the text is no mode.
std::string permissions(std::string_view mode)
{
    if (mode.starts_with("0o"))
        mode.remove_prefix(2);
    if (mode.empty() || mode.size() > 5 || !std::all_of(mode.begin(), mode.end(), [](char c) { return c >= '0' && c <= '7'; }))
        return {};
    unsigned bits = 0;
    for (char c : mode)
        bits = bits * 8 + unsigned(c - '0');
    std::string text;
    for (int shift = 6; shift >= 0; shift -= 3) {
        text += (bits >> (shift + 2)) & 1 ? 'r' : '-';
        text += (bits >> (shift + 1)) & 1 ? 'w' : '-';
        text += (bits >> shift) & 1 ? 'x' : '-';
    }
    return text;
}

// The modify fact (YYYYMMDDHHMMSS[.fraction], UTC) as local date and time; nothing for anything else.
void setLocalTime(std::string_view modify, RemoteEntry& entry)
{
    const std::time_t t = std::time_t(ParseUtcStamp(modify));
    if (t < 0)
        return;
    std::tm local{};
    localtime_r(&t, &local);
    char date[32], time[32];
    std::snprintf(date, sizeof date, "%02d.%02d.%02d", local.tm_mday, local.tm_mon + 1, (local.tm_year + 1900) % 100);
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    entry.date = date;
    entry.time = time;
    entry.year = local.tm_year + 1900;
}

} // namespace

std::optional<RemoteEntry> ParseMlsdLine(std::string_view line)
{
    const size_t gap = line.find("; ");
    if (gap == std::string_view::npos)
        return std::nullopt;
    const std::string_view name = line.substr(gap + 2);
    const Facts facts = readFacts(line.substr(0, gap + 1));
    const std::string type = lowerAscii(facts.type);
    if (type == "cdir" || type == "pdir" || hostileName(name))
        return std::nullopt;
    const bool link = type.starts_with("os.unix=symlink") || type.starts_with("os.unix=slink");
    RemoteEntry entry;
    entry.name = std::string(name);
    entry.isDirectory = type == "dir" || link;
    entry.size = sizeText(facts.size.empty() ? facts.sizd : facts.size);
    if (link)
        entry.size.clear();
    setLocalTime(facts.modify, entry);
    const std::string perms = permissions(facts.mode);
    if (!perms.empty())
        entry.attributes = (link ? "l" : entry.isDirectory ? "d" : "-") + perms;
    return entry;
}

// Sorted by name, byte by byte, as servers sort a plain listing: the tree walks visit directories in
// the same order whichever listing the server gave.
bool ParseMlsdFile(const std::string& path, bool showHidden, ParsedListing& out)
{
    out = {};
    std::vector<RemoteEntry> entries;
    const bool read = forEachListingLine(path, [&](std::string_view line) {
        std::optional<RemoteEntry> entry = ParseMlsdLine(line);
        if (entry && (showHidden || !entry->name.starts_with('.')))
            entries.push_back(std::move(*entry));
    });
    std::stable_sort(entries.begin(), entries.end(),
                     [](const RemoteEntry& a, const RemoteEntry& b) { return a.name < b.name; });
    out.entries.reserve(entries.size());
    for (const RemoteEntry& entry : entries)
        out.entries.push_back(entry);
    return read;
}

} // namespace brisk
