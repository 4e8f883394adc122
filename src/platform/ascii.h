#pragma once
#include <string>
#include <string_view>

namespace brisk {

// Letter case of a-z/A-Z only: other bytes (UTF-8 included) pass through unchanged. Inline, as
// sorting long panels calls them for every byte compared.
inline char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

inline char upperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

std::string lowerAscii(std::string_view text);
std::string toLowerAscii(std::string text);
std::string toUpperAscii(std::string text);
bool equalsNoCase(std::string_view a, std::string_view b);
bool startsWithNoCase(std::string_view text, std::string_view prefix);

// Removes blanks and control characters (bytes up to 0x20) at both ends; bytes of UTF-8 sequences stay.
std::string_view trimBlanks(std::string_view text);
std::string trimmed(const std::string& text);

// Text from elsewhere (a server's reply line) made safe to show or store as one line: control bytes
// other than TAB, and DEL, become "?", so no line break or terminal escape survives.
std::string printableLine(std::string_view text);

// At most `count` characters of UTF-8 text, never cutting one in two.
std::string firstCharacters(const std::string& text, size_t count);

} // namespace brisk
