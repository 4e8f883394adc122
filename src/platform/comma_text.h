#pragma once
#include <string>
#include <vector>

namespace brisk {

// Lists kept in one text value. Items are joined by ","; an item holding a blank, a control
// character, a comma or a double quote is written in double quotes with inner quotes doubled.
std::string JoinCommaText(const std::vector<std::string>& items);

// Reads the form above. Unquoted blanks separate items just as commas do.
std::vector<std::string> SplitCommaText(const std::string& text);

} // namespace brisk
