#pragma once
#include <string>
#include <string_view>

namespace brisk {

// How the file panels show a size. The rows keep the plain byte text; this is only what is drawn.
// The options file stores the numbers.
enum class SizeDisplay {
    Bytes = 0,    // "1234567"
    Grouped = 1,  // "1 234 567": blanks between groups of three read the same in every language
    Binary = 2,   // "1.18 MiB": B, KiB, MiB, GiB, TiB, PiB, EiB with two decimals below 10, else one
};

// The byte text of a row as the chosen display shows it. A text that is no plain decimal number of
// at most 64 bits (a directory's empty size, a server's own words) comes back unchanged.
std::string FormatSizeForDisplay(std::string_view bytesText, SizeDisplay display);

// "1234567 bytes" ("1 byte") for a plain decimal number, else an empty text.
std::string ExactSizeText(std::string_view bytesText);

} // namespace brisk
