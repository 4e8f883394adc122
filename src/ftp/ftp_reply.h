#pragma once
#include <cstdint>
#include <string>

namespace brisk {

// Reply code of a line that starts with exactly three digits followed by a blank, "-" or the line end;
// 0 for any other line ("0230 x", "230Logged in", " 230 x"). after: 3 past a code, else 0.
int FtpReplyCode(const std::string& line, size_t* after = nullptr);

// A line that carries a reply code (see FtpReplyCode).
bool FtpIsReplyLine(const std::string& line);

// A reply line whose code is not followed by "-".
bool FtpIsFinalReplyLine(const std::string& line);

// Text that may go into a command line: no CR, LF or NUL that would end the line early or smuggle in
// a second command.
bool FtpIsSafeCommandText(const std::string& text);
inline constexpr const char* kUnsafeCommandText = "Refused: CR, LF or NUL in a command";
// The failure a request refused for such text ends with.
inline constexpr const char* kUnsafeNameReply = "501 Refused: the name or command holds a line break or NUL";

// A success reply whose text says that the work failed all the same ("226 Transfer done (but failed
// to open directory)"): words of failure, compared without regard to case.
bool FtpReplyTellsOfFailure(const std::string& line);

// The quoted path of a 257-style reply ("" stands for one quote); empty when the text after the code
// does not begin with a quote.
std::string FtpQuotedResult(const std::string& line);

// The number after the code (SIZE reply): a non-negative decimal that fits in 64 bits, alone on the
// line; -1 for anything else.
int64_t FtpSizeResult(const std::string& line);

} // namespace brisk

namespace brisk {

// Data port of a 227 reply: everything up to the first "(" dropped, then four comma-separated fields,
// then the high byte, then the low byte up to ")" or the end of the line. -1 when the numbers are not
// there, when one is above 255, or for port 0.
int FtpPassivePort(const std::string& reply);

} // namespace brisk
