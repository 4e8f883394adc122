#include "platform/comma_text.h"

namespace brisk {
namespace {

bool isBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool needsQuotes(const std::string& item)
{
    for (char c : item)
        if (isBlankOrControl(c) || c == ',' || c == '"')
            return true;
    return false;
}

std::string quoted(const std::string& item)
{
    std::string out = "\"";
    for (char c : item) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

void skipBlanks(const std::string& text, size_t& pos)
{
    while (pos < text.size() && isBlankOrControl(text[pos]))
        ++pos;
}

std::string readQuoted(const std::string& text, size_t& pos)
{
    std::string item;
    ++pos;
    while (pos < text.size()) {
        if (text[pos] == '"') {
            if (pos + 1 < text.size() && text[pos + 1] == '"') {
                item += '"';
                pos += 2;
                continue;
            }
            ++pos;
            break;
        }
        item += text[pos++];
    }
    return item;
}

std::string readPlain(const std::string& text, size_t& pos)
{
    const size_t start = pos;
    while (pos < text.size() && !isBlankOrControl(text[pos]) && text[pos] != ',')
        ++pos;
    return text.substr(start, pos - start);
}

} // namespace

std::string JoinCommaText(const std::vector<std::string>& items)
{
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += ',';
        out += needsQuotes(items[i]) ? quoted(items[i]) : items[i];
    }
    return out;
}

std::vector<std::string> SplitCommaText(const std::string& text)
{
    std::vector<std::string> items;
    size_t pos = 0;
    skipBlanks(text, pos);
    while (pos < text.size()) {
        items.push_back(text[pos] == '"' ? readQuoted(text, pos) : readPlain(text, pos));
        skipBlanks(text, pos);
        if (pos < text.size() && text[pos] == ',') {
            ++pos;
            skipBlanks(text, pos);
            // A comma at the very end stands for one more, empty, item.
            if (pos == text.size())
                items.emplace_back();
        }
    }
    return items;
}

} // namespace brisk
