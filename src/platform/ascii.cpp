#include "platform/ascii.h"

namespace brisk {
namespace {

char lowerChar(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
char upperChar(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
bool isTrimmable(char c) { return static_cast<unsigned char>(c) <= ' '; }

} // namespace

std::string toLowerAscii(std::string text)
{
    for (char& c : text)
        c = lowerChar(c);
    return text;
}

std::string toUpperAscii(std::string text)
{
    for (char& c : text)
        c = upperChar(c);
    return text;
}

bool equalsNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerChar(a[i]) != lowerChar(b[i]))
            return false;
    return true;
}

bool startsWithNoCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

std::string trimmed(const std::string& text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isTrimmable(text[begin]))
        ++begin;
    while (end > begin && isTrimmable(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

} // namespace brisk
