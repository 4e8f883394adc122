#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brisk {

// Removes blanks and control characters (bytes up to 0x20) at both ends; bytes of UTF-8 sequences stay.
std::string_view trimBlanks(std::string_view text);

// Lower or upper case for the letters A-Z/a-z only; every other byte is kept.
char lowerAscii(char c);
char upperAscii(char c);
std::string lowerAscii(std::string_view text);

bool startsWithNoCase(std::string_view text, std::string_view prefix);

// Plain decimal digits only (no sign, no blanks) and at most 18 of them, so the value always fits.
std::optional<int64_t> decimalValue(std::string_view text);

// Month 1..12 from the position of `word` (lowercased) inside "janfebmar...dec"; 0 when it does not occur.
int monthFromWordPosition(std::string_view word);

} // namespace brisk
