#include "session/log_pane.h"

#include "platform/ascii.h"

#include <cstdio>

namespace brisk {

size_t LogPane::AddLog(const std::string& line)
{
    const std::string text = printableLine(line);
    auto size = [&] { return int64_t(textSize_ + text.size() + 2); };
    while (size() >= logSize_ && !lines_.empty()) {
        textSize_ -= lines_.front().size() + 2;
        lines_.pop_front();
    }
    lines_.push_back(text);
    textSize_ += text.size() + 2;
    ++generation_;
    appendToFile(text);
    return lines_.size() - 1;
}

void LogPane::appendToLine(size_t index, const std::string& part)
{
    if (index >= lines_.size())
        return;
    const std::string text = printableLine(part);
    lines_[index] += text;
    textSize_ += text.size();
    ++generation_;
}

void LogPane::clear()
{
    lines_.clear();
    textSize_ = 0;
    ++generation_;
}

void LogPane::appendToFile(const std::string& text) const
{
    if (filePath_.empty())
        return;
    // Failures are silent: the pane line is what matters.
    if (FILE* f = std::fopen(filePath_.c_str(), "ab")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fputc('\n', f);
        std::fclose(f);
    }
}

std::string LogPane::DisplayFilter(const std::string& line)
{
    // Only what was sent can carry the password; a reply line (HELP lists PASS) is shown as it came.
    if (line.rfind("> ", 0) == 0 && line.find("PASS ") != std::string::npos)
        return "> PASS (hidden)";
    return line;
}

} // namespace brisk
