#include "i18n/language_key.h"

namespace brisk {
namespace {

// Cuts `text` at its first dot: the part before it is returned, `text` keeps the rest.
std::string takeUntilDot(std::string& text)
{
    const size_t dot = text.find('.');
    std::string head = text.substr(0, dot);
    text = dot == std::string::npos ? std::string() : text.substr(dot + 1);
    return head;
}

int decimalIndex(const std::string& text)
{
    if (text.empty() || text.size() > 9)
        return -1;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

LanguageKey SplitLanguageKey(const std::string& key)
{
    std::string rest = key;
    LanguageKey split;
    split.component = takeUntilDot(rest);
    split.property = takeUntilDot(rest);
    split.index = decimalIndex(takeUntilDot(rest));
    split.subProperty = rest;
    return split;
}

std::string DecodeLanguageValue(const std::string& stored)
{
    return replaceAll(stored, "~~", "\n");
}

std::string EncodeLanguageValue(const std::string& shown)
{
    return replaceAll(replaceAll(shown, "\r\n", "~~"), "\n", "~~");
}

bool SameLanguageName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

} // namespace brisk
