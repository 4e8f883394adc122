#include "listing/listing_rules.h"

#include "listing/split_fields.h"
#include "listing/text_util.h"

namespace brisk {

namespace {

std::string_view tokenAt(const std::vector<std::string_view>& tokens, size_t index)
{
    return index < tokens.size() ? tokens[index] : std::string_view{};
}

// Characters `from` to `to` (1-based, inclusive) of `line`, clipped to its length.
std::string_view columns(std::string_view line, size_t from, size_t to)
{
    if (from > line.size())
        return {};
    return line.substr(from - 1, to - from + 1);
}

std::string_view cutBefore(std::string_view text, std::string_view marker)
{
    const size_t p = text.find(marker);
    return p == std::string_view::npos ? text : text.substr(0, p);
}

} // namespace

bool applyTextRule(std::string_view line, RemoteEntry& entry)
{
    entry.name = line;
    entry.isDirectory = line.starts_with('d');
    return true;
}

bool applyMsFtp4Rule(std::string_view line, std::vector<std::string_view>& tokens, RemoteEntry& entry)
{
    splitFieldViews(" ", line, tokens);
    entry.date = tokenAt(tokens, 0);
    entry.time = tokenAt(tokens, 1);
    const std::string_view sizeOrDir = tokenAt(tokens, 2);
    if (sizeOrDir.size() == 5 && startsWithNoCase(sizeOrDir, "<dir>"))
        entry.isDirectory = true;
    else
        entry.size = sizeOrDir;
    entry.name = tokenAt(tokens, 3);
    return true;
}

bool applyMacRule(std::string_view line, std::vector<std::string_view>& tokens, RemoteEntry& entry)
{
    splitFieldViews(" ", line, tokens);
    entry.isDirectory = line.starts_with('d');
    // Folders have no size column, so file columns sit one further right.
    const size_t k = entry.isDirectory ? 0 : 1;
    if (tokens.size() > k + 4) {
        entry.date = tokens[k + 3];
        entry.date += ' ';
        entry.date += tokens[k + 4];
    }
    entry.time = tokenAt(tokens, k + 5);
    if (!entry.isDirectory)
        entry.size = tokenAt(tokens, 1);
    entry.name = tokenAt(tokens, k + 6);
    return true;
}

bool applyCustomRule(std::string_view line, const CustomColumns& columns,
                     std::vector<std::string_view>& tokens, RemoteEntry& entry)
{
    splitFieldViews(" ", line, tokens);
    auto usable = [&](int v) { return v >= 1 && v <= 9 && size_t(v) <= tokens.size(); };
    auto take = [&](int v, std::string& field) {
        if (usable(v))
            field = tokens[size_t(v) - 1];
    };
    take(columns.attributes, entry.attributes);
    entry.isDirectory = entry.attributes.starts_with('d');
    take(columns.size, entry.size);
    take(columns.name, entry.name);
    take(columns.time, entry.time);
    take(columns.firstDatePart, entry.date);
    if (usable(columns.secondDatePart)) {
        entry.date += ' ';
        entry.date += tokens[size_t(columns.secondDatePart) - 1];
    }
    return true;
}

bool applyVmsRule(std::string_view line, std::vector<std::string_view>& tokens, RemoteEntry& entry)
{
    if (line.starts_with("Total of "))
        return false;
    splitFieldViews(" ", line, tokens);
    entry.isDirectory = line.find(".DIR;") != std::string_view::npos;
    entry.name = cutBefore(tokenAt(tokens, 0), entry.isDirectory ? ".DIR;" : ";");
    entry.date = tokenAt(tokens, 2);
    entry.time = tokenAt(tokens, 3);
    entry.attributes = tokenAt(tokens, 5);
    return true;
}

bool applyFixedColumnsRule(std::string_view line, RemoteEntry& entry)
{
    // The server writes month-day-year; the record holds day.month.year.
    entry.date = columns(line, 4, 5);
    entry.date += '.';
    entry.date += columns(line, 1, 2);
    entry.date += '.';
    entry.date += columns(line, 7, 8);
    entry.time = trimBlanks(columns(line, 10, 19));
    entry.isDirectory = trimBlanks(columns(line, 20, 29)) == "<DIR>";
    entry.name = line.size() > 39 ? trimBlanks(line.substr(39)) : std::string_view{};
    if (!entry.isDirectory)
        entry.size = trimBlanks(columns(line, 30, 39));
    else if (entry.name.empty())
        entry.name = "..";
    return true;
}

} // namespace brisk
