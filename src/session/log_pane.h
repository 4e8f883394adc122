#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace brisk {

// The protocol log: the pane's lines, trimmed from the top to stay below a size, and an optional
// log file that receives every line (opened and closed around each one, so other programs can read it).
class LogPane {
public:
    // Appends a line, control bytes shown as "?" (a server's line must not break the pane or the
    // file into forged lines); returns its index in the pane.
    size_t AddLog(const std::string& line);
    // Appends to an existing line (for outcomes reported after the line was written).
    void appendToLine(size_t index, const std::string& part);

    const std::deque<std::string>& lines() const { return lines_; }
    // Changes with every change of the lines, so a view can tell whether to redraw.
    uint64_t generation() const { return generation_; }
    void clear();

    // The pane keeps its text (each line counted with its line end) below this many characters.
    void setLogSize(int64_t size) { logSize_ = size; }
    int64_t logSize() const { return logSize_; }
    // Logging to the file is on when the path is not empty.
    void setLogFile(const std::string& path) { filePath_ = path; }
    const std::string& logFile() const { return filePath_; }

    // What the log shows of an engine line: a command line holding the password command is replaced.
    static std::string DisplayFilter(const std::string& line);

private:
    void appendToFile(const std::string& text) const;

    std::deque<std::string> lines_;
    size_t textSize_ = 0;
    uint64_t generation_ = 0;
    int64_t logSize_ = 10000;
    std::string filePath_;
};

} // namespace brisk
