#include "ftp/ftp_line_reader.h"

#include <cstring>

namespace brisk {

std::optional<std::string> FtpLineReader::nextLine(bool acceptLF)
{
    const char* end = nullptr;
    for (const char* p = buffer_; p < buffer_ + len_; ++p)
        if (*p == '\n' && (acceptLF || (p > buffer_ && p[-1] == '\r'))) {
            end = p;
            break;
        }
    if (!end)
        return std::nullopt;
    std::string line(buffer_, size_t(end - buffer_));
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    const size_t consumed = size_t(end - buffer_) + 1;
    std::memmove(buffer_, buffer_ + consumed, len_ - consumed);
    len_ -= consumed;
    return line;
}

} // namespace brisk
