#include "log_lines.h"

namespace brisk::test {

size_t countLines(std::string_view log, const std::function<bool(std::string_view line)>& match)
{
    size_t count = 0;
    while (!log.empty()) {
        const size_t end = log.find('\n');
        std::string_view line = log.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (match(line))
            ++count;
        log = end == std::string_view::npos ? std::string_view() : log.substr(end + 1);
    }
    return count;
}

bool endsWith(std::string_view line, std::string_view tail)
{
    return line.size() >= tail.size() && line.substr(line.size() - tail.size()) == tail;
}

} // namespace brisk::test
