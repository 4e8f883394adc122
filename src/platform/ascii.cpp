#include "platform/ascii.h"

namespace brisk {

namespace {

bool isTrimmable(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

} // namespace

std::string lowerAscii(std::string_view text)
{
    return toLowerAscii(std::string(text));
}

std::string toLowerAscii(std::string text)
{
    for (char& c : text)
        c = lowerAscii(c);
    return text;
}

std::string toUpperAscii(std::string text)
{
    for (char& c : text)
        c = upperAscii(c);
    return text;
}

bool equalsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && startsWithNoCase(a, b);
}

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (lowerAscii(text[i]) != lowerAscii(prefix[i]))
            return false;
    return true;
}

std::string_view trimBlanks(std::string_view text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isTrimmable(text[begin]))
        ++begin;
    while (end > begin && isTrimmable(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::string trimmed(const std::string& text)
{
    return std::string(trimBlanks(text));
}

std::string printableLine(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7f)
            c = '?';
    return out;
}

std::string firstCharacters(const std::string& text, size_t count)
{
    size_t characters = 0;
    for (size_t at = 0; at < text.size(); ++at)
        if ((static_cast<unsigned char>(text[at]) & 0xC0) != 0x80 && characters++ == count)
            return text.substr(0, at);
    return text;
}

} // namespace brisk
