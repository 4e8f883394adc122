#include "ftp/ftp_reply.h"

#include "platform/ascii.h"

#include <cctype>

namespace brisk {

namespace {

bool isDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

size_t skipBlanks(const std::string& s, size_t i)
{
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n'))
        ++i;
    return i;
}

} // namespace

int FtpReplyCode(const std::string& line, size_t* after)
{
    const bool reply = line.size() >= 3 && isDigit(line[0]) && isDigit(line[1]) && isDigit(line[2]) &&
                       (line.size() == 3 || line[3] == ' ' || line[3] == '\t' || line[3] == '-');
    if (after)
        *after = reply ? 3 : 0;
    return reply ? (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0') : 0;
}

bool FtpIsReplyLine(const std::string& line)
{
    size_t after = 0;
    FtpReplyCode(line, &after);
    return after == 3;
}

bool FtpIsFinalReplyLine(const std::string& line)
{
    return FtpIsReplyLine(line) && (line.size() == 3 || line[3] != '-');
}

bool FtpIsSafeCommandText(const std::string& text)
{
    return text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

bool FtpReplyTellsOfFailure(const std::string& line)
{
    static constexpr const char* kWords[] = {"fail", "could not", "couldn't", "cannot", "can't", "unable", "denied",
                                             "not permitted"};
    const std::string text = toLowerAscii(line);
    for (const char* word : kWords)
        if (text.find(word) != std::string::npos)
            return true;
    return false;
}

std::string FtpQuotedResult(const std::string& line)
{
    size_t i = 0;
    FtpReplyCode(line, &i);
    i = skipBlanks(line, i);
    if (i >= line.size() || line[i] != '"')
        return "";
    std::string result;
    for (++i; i < line.size(); ++i) {
        if (line[i] == '"') {
            if (i + 1 < line.size() && line[i + 1] == '"') {
                result += '"';
                ++i;
                continue;
            }
            break;
        }
        result += line[i];
    }
    return result;
}

int64_t FtpSizeResult(const std::string& line)
{
    size_t i = 0;
    FtpReplyCode(line, &i);
    if (i == 0 || i >= line.size() || (line[i] != ' ' && line[i] != '\t'))
        return -1;
    i = skipBlanks(line, i);
    const size_t digits = i;
    int64_t size = 0;
    for (; i < line.size() && isDigit(line[i]); ++i) {
        if (size > (INT64_MAX - (line[i] - '0')) / 10)
            return -1;
        size = size * 10 + (line[i] - '0');
    }
    // Only blanks may follow the number: "213 12abc" or "213 -5" is no size.
    if (i == digits || skipBlanks(line, i) != line.size())
        return -1;
    return size;
}

} // namespace brisk

namespace brisk {

namespace {

// Decimal field with optional surrounding blanks; -1 when it is not one.
long decimalField(const std::string& text)
{
    const size_t b = text.find_first_not_of(" \t");
    const size_t e = text.find_last_not_of(" \t\r\n.");
    if (b == std::string::npos || e < b || e - b > 8)
        return -1;
    long value = 0;
    for (size_t i = b; i <= e; ++i) {
        if (!isDigit(text[i]))
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value <= 255 ? value : -1;
}

} // namespace

int FtpPassivePort(const std::string& reply)
{
    size_t pos = reply.find('(');
    pos = pos == std::string::npos ? 0 : pos + 1;
    for (int i = 0; i < 4; ++i) {
        pos = reply.find(',', pos);
        if (pos == std::string::npos)
            return -1;
        ++pos;
    }
    const size_t comma = reply.find(',', pos);
    if (comma == std::string::npos)
        return -1;
    const long high = decimalField(reply.substr(pos, comma - pos));
    const size_t close = reply.find(')', comma + 1);
    const long low = decimalField(reply.substr(comma + 1, close == std::string::npos ? std::string::npos : close - comma - 1));
    if (high < 0 || low < 0 || (high == 0 && low == 0))
        return -1;
    return int(high * 256 + low);
}

} // namespace brisk
