#include "listing/mlsd_listing.h"

#include "listing/entry_local_time.h"
#include "listing/link_resolver.h"
#include "listing/listing_file_lines.h"
#include "platform/ascii.h"
#include "platform/utc_stamp.h"

#include <algorithm>
#include <unordered_map>

namespace brisk {

namespace {

struct Facts {
    std::string_view type, size, sizd, modify, mode, unique;
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
        else if (name == "unique")
            f.unique = value;
    }
    return f;
}

bool isOwnDirectory(std::string_view type, std::string_view name)
{
    return type == "cdir" || type == "pdir" || (type == "dir" && (name == "." || name == ".."));
}

// "OS.unix=slink:/target", "OS.unix=symlink" and the like: any type of the OS kind naming a link.
bool isLinkType(std::string_view lowerType)
{
    return lowerType.starts_with("os.") && lowerType.find("link") != std::string_view::npos;
}

std::string_view linkTargetOf(std::string_view type)
{
    const size_t colon = type.find(':');
    return colon == std::string_view::npos ? std::string_view{} : type.substr(colon + 1);
}

RemoteEntry unreadableLine(std::string_view line)
{
    RemoteEntry entry;
    entry.name = line;
    entry.unreadable = true;
    return entry;
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

// Links whose target is an entry of the same listing take its kind, as in a plain listing.
void settleLinksByTarget(std::vector<RemoteEntry>& entries)
{
    LinkTargets targets;
    for (const RemoteEntry& e : entries)
        if (!e.link.empty())
            targets.want(e.link);
    if (targets.empty())
        return;
    for (const RemoteEntry& e : entries)
        if (IsLinkTargetCandidate(e))
            targets.learn(e.name, e.isDirectory, e.size);
    for (RemoteEntry& e : entries)
        if (!e.link.empty())
            targets.settle(e);
}

// Servers that give a link the unique fact of what it points to (the file's identity on its disk)
// show its target even without naming it: an entry of the same unique fact.
void settleLinksByUnique(std::vector<RemoteEntry>& entries, const std::vector<std::string>& uniques)
{
    std::unordered_map<std::string_view, size_t> byUnique;
    for (size_t i = 0; i < entries.size(); ++i)
        if (!uniques[i].empty() && IsLinkTargetCandidate(entries[i]))
            byUnique.try_emplace(uniques[i], i);
    for (size_t i = 0; i < entries.size(); ++i) {
        RemoteEntry& link = entries[i];
        const auto target = link.linkKindUnknown ? byUnique.find(uniques[i]) : byUnique.end();
        if (target == byUnique.end())
            continue;
        link.isDirectory = entries[target->second].isDirectory;
        link.size = link.isDirectory ? std::string() : entries[target->second].size;
        link.linkKindUnknown = false;
    }
}

// One line; `unique`, when given, receives the unique fact.
std::optional<RemoteEntry> parseLine(std::string_view line, std::string* unique)
{
    if (trimBlanks(line).empty())
        return std::nullopt;
    const size_t gap = line.find("; ");
    if (gap == std::string_view::npos || gap + 2 == line.size())
        return unreadableLine(line);
    const std::string_view name = line.substr(gap + 2);
    const Facts facts = readFacts(line.substr(0, gap + 1));
    const std::string type = lowerAscii(facts.type);
    if (isOwnDirectory(type, name))
        return std::nullopt;
    if (unique)
        *unique = facts.unique;
    RemoteEntry entry;
    entry.name = std::string(name);
    SetEntryLocalTime(ParseUtcStamp(facts.modify), entry);
    const std::string perms = permissions(facts.mode);
    if (isLinkType(type)) {
        // A link is a link whatever other facts say; what it points to is settled by the listing.
        entry.attributes = "l" + perms;
        entry.link = linkTargetOf(facts.type);
        entry.isDirectory = true;
        entry.linkKindUnknown = true;
        return entry;
    }
    entry.isDirectory = type == "dir";
    entry.size = sizeText(facts.size.empty() ? facts.sizd : facts.size);
    if (!perms.empty())
        entry.attributes = (entry.isDirectory ? "d" : "-") + perms;
    return entry;
}

} // namespace

std::optional<RemoteEntry> ParseMlsdLine(std::string_view line)
{
    return parseLine(line, nullptr);
}

// Sorted by name, byte by byte, as servers sort a plain listing: the tree walks visit directories in
// the same order whichever listing the server gave.
bool ParseMlsdFile(const std::string& path, bool showHidden, ParsedListing& out)
{
    out = {};
    std::vector<RemoteEntry> entries;
    std::vector<std::string> uniques;
    const bool read = forEachListingLine(path, [&](std::string_view line) {
        std::string unique;
        std::optional<RemoteEntry> entry = parseLine(line, &unique);
        if (entry && (showHidden || entry->unreadable || !entry->name.starts_with('.'))) {
            entries.push_back(std::move(*entry));
            uniques.push_back(std::move(unique));
        }
    });
    settleLinksByTarget(entries);
    settleLinksByUnique(entries, uniques);
    std::stable_sort(entries.begin(), entries.end(),
                     [](const RemoteEntry& a, const RemoteEntry& b) { return a.name < b.name; });
    out.entries.reserve(entries.size());
    for (const RemoteEntry& entry : entries)
        out.entries.push_back(entry);
    return read;
}

} // namespace brisk
