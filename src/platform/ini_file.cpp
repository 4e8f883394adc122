#include "platform/ini_file.h"

#include "platform/ascii.h"
#include "platform/text_file.h"

#include <charconv>

namespace brisk {
namespace {

std::string firstLine(const std::string& text)
{
    return text.substr(0, text.find_first_of("\r\n"));
}

} // namespace

IniWriteError::IniWriteError(const std::string& path)
    : std::runtime_error("Unable to write to " + path)
{
}

bool parseInt32(const std::string& text, int32_t& value)
{
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+')
        ++begin;
    if (begin == end || *begin == '+')
        return false;
    const auto result = std::from_chars(begin, end, value);
    return result.ec == std::errc() && result.ptr == end;
}

IniFile::IniFile(std::string path) : path_(std::move(path))
{
    std::vector<std::string> lines;
    if (!readTextLines(path_, lines))
        lines.clear();
    parse(lines);
}

void IniFile::parse(const std::vector<std::string>& lines)
{
    sections_.push_back(Section{});
    for (const std::string& raw : lines) {
        const std::string text = trimmed(raw);
        if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
            sections_.push_back(Section{trimmed(text.substr(1, text.size() - 2)), raw, {}});
            continue;
        }
        Line line{raw, {}, {}, false, false};
        const size_t eq = text.find('=');
        if (eq != std::string::npos && eq > 0 && text.front() != ';') {
            line.key = trimmed(text.substr(0, eq));
            line.value = trimmed(text.substr(eq + 1));
            line.isKey = true;
        }
        sections_.back().lines.push_back(std::move(line));
    }
}

const IniFile::Line* IniFile::find(const std::string& section, const std::string& key) const
{
    for (const Section& s : sections_) {
        if (s.header.empty() || !equalsNoCase(s.name, section))
            continue;
        for (const Line& line : s.lines)
            if (line.isKey && equalsNoCase(line.key, key))
                return &line;
    }
    return nullptr;
}

bool IniFile::hasKey(const std::string& section, const std::string& key) const
{
    return find(section, key) != nullptr;
}

bool IniFile::hasSection(const std::string& section) const
{
    for (const Section& s : sections_)
        if (!s.header.empty() && equalsNoCase(s.name, section))
            return true;
    return false;
}

std::vector<std::pair<std::string, std::string>> IniFile::sectionEntries(const std::string& section) const
{
    std::vector<std::pair<std::string, std::string>> entries;
    for (const Section& s : sections_)
        if (!s.header.empty() && equalsNoCase(s.name, section))
            for (const Line& line : s.lines)
                if (line.isKey)
                    entries.emplace_back(line.key, line.value);
    return entries;
}

void IniFile::clearSection(const std::string& section)
{
    // One blank line stays to part it from the next section; new keys go before it.
    if (Section* s = findSection(section))
        s->lines.assign(1, Line{});
}

std::string IniFile::readString(const std::string& section, const std::string& key,
                                const std::string& def) const
{
    const Line* line = find(section, key);
    return line ? line->value : def;
}

int32_t IniFile::readInteger(const std::string& section, const std::string& key, int32_t def) const
{
    const Line* line = find(section, key);
    int32_t value = 0;
    return line && parseInt32(line->value, value) ? value : def;
}

bool IniFile::readBool(const std::string& section, const std::string& key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

IniFile::Section* IniFile::findSection(const std::string& section)
{
    for (Section& s : sections_)
        if (!s.header.empty() && equalsNoCase(s.name, section))
            return &s;
    return nullptr;
}

IniFile::Section& IniFile::sectionFor(const std::string& section)
{
    if (Section* s = findSection(section))
        return *s;
    Section& last = sections_.back();
    const bool fileEmpty = sections_.size() == 1 && last.lines.empty();
    const bool endsBlank = !last.lines.empty() && !last.lines.back().isKey &&
                           trimmed(last.lines.back().text).empty();
    if (!fileEmpty && !endsBlank)
        last.lines.push_back(Line{});
    const std::string name = firstLine(section);
    sections_.push_back(Section{name, "[" + name + "]", {}});
    return sections_.back();
}

void IniFile::writeString(const std::string& section, const std::string& key, const std::string& value)
{
    const std::string cleanKey = firstLine(key);
    const std::string cleanValue = firstLine(value);
    Section& s = sectionFor(section);
    for (Line& line : s.lines) {
        if (line.isKey && equalsNoCase(line.key, cleanKey)) {
            line.modified = line.modified || line.value != cleanValue;
            line.value = cleanValue;
            return;
        }
    }
    // New keys go after the section's last key, before any blank lines that end it.
    size_t at = s.lines.size();
    while (at > 0 && !s.lines[at - 1].isKey && trimmed(s.lines[at - 1].text).empty())
        --at;
    s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(at), Line{{}, cleanKey, cleanValue, true, true});
}

void IniFile::writeInteger(const std::string& section, const std::string& key, int64_t value)
{
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(const std::string& section, const std::string& key, bool value)
{
    writeString(section, key, value ? "1" : "0");
}

void IniFile::save() const
{
    std::string out;
    for (const Section& s : sections_) {
        if (!s.header.empty())
            out += s.header + "\n";
        for (const Line& line : s.lines)
            out += (line.modified ? line.key + "=" + line.value : line.text) + "\n";
    }
    if (!writePrivateFile(path_, out))
        throw IniWriteError(path_);
}

} // namespace brisk
