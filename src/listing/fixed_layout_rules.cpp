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

// The line from the start of `token`, a view into it, to its end.
std::string_view restFrom(std::string_view line, std::string_view token)
{
    return line.substr(size_t(token.data() - line.data()));
}

std::string_view cutBefore(std::string_view text, std::string_view marker)
{
    const size_t p = text.find(marker);
    return p == std::string_view::npos ? text : text.substr(0, p);
}

bool isDigits(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// "mm-dd-yy" in the first eight columns.
bool isFixedDate(std::string_view line)
{
    return line.size() > 8 && isDigits(line.substr(0, 2)) && isDigits(line.substr(3, 2)) && isDigits(line.substr(6, 2));
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
    // The name runs to the end of the line: its inner and trailing blanks are its own.
    entry.name = tokens.size() > 3 ? restFrom(line, tokens[3]) : std::string_view{};
    entry.unreadable = entry.name.empty() || (!entry.isDirectory && !decimalValue(entry.size));
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
    // One blank follows the time column; every byte after it is the name's.
    if (tokens.size() > k + 6)
        entry.name = restFrom(line, tokens[k + 5]).substr(tokens[k + 5].size() + 1);
    entry.unreadable = entry.name.empty() || entry.time.empty();
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
    entry.unreadable = entry.name.empty();
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
    entry.unreadable = entry.name.empty();
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
    // Sizes are right-aligned up to column 39; a size beyond ten digits starts before column 30.
    if (!entry.isDirectory)
        entry.size = trimBlanks(columns(line, 18, 39));
    // The name starts in column 40; all of its bytes, leading blanks included, are its own.
    entry.name = line.size() > 39 ? line.substr(39) : std::string_view{};
    if (entry.isDirectory && entry.name.empty())
        entry.name = "..";
    entry.unreadable = entry.name.empty() || !isFixedDate(line) || (!entry.isDirectory && !decimalValue(entry.size));
    return true;
}

} // namespace brisk
