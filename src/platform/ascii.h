#pragma once
#include <string>

namespace brisk {

// Letter case of a-z/A-Z only: other bytes (UTF-8 included) pass through unchanged.
std::string toLowerAscii(std::string text);
std::string toUpperAscii(std::string text);
bool equalsNoCase(const std::string& a, const std::string& b);
bool startsWithNoCase(const std::string& text, const std::string& prefix);

// Removes blanks and control characters at both ends.
std::string trimmed(const std::string& text);

} // namespace brisk
