#pragma once
#include <cstdint>
#include <string>

namespace brisk {

// Reply code of a line: leading blanks (space, tab, CR, LF) and a sign skipped, then decimal digits.
// Absurdly long digit runs saturate instead of overflowing. after: index just past the digits.
int FtpReplyCode(const std::string& line, size_t* after = nullptr);

// A line that begins with a digit and whose code is not followed by '-'.
bool FtpIsFinalReplyLine(const std::string& line);

// The quoted path of a 257-style reply ("" stands for one quote); empty when the text after the code
// does not begin with a quote.
std::string FtpQuotedResult(const std::string& line);

// The number after the code (SIZE reply); 0 when there is none or it does not fit.
int64_t FtpSizeResult(const std::string& line);

} // namespace brisk

namespace brisk {

// Data port of a 227 reply: everything up to the first "(" dropped, then four comma-separated fields,
// then the high byte, then the low byte up to ")" or the end of the line. -1 when the numbers are not
// there; the result is kept to 16 bits.
int FtpPassivePort(const std::string& reply);

} // namespace brisk
