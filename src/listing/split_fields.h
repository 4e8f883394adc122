#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace brisk {

// Splits `text` at `separator`, trimming every item. With " " runs of blanks count as one separator;
// a leading separator gives an empty first item; an empty last item is never produced.
std::vector<std::string> SplitFields(std::string_view separator, std::string_view text);

// Same splitting into views of `text`, reusing `out` (the parser calls this once per line).
void splitFieldViews(std::string_view separator, std::string_view text, std::vector<std::string_view>& out);

} // namespace brisk
