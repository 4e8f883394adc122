#pragma once
#include "platform/progress_sink.h"

#include <cstdint>
#include <iosfwd>
#include <string>

namespace brisk::cli {

// The figures of a transfer on a terminal: one line with the file under way, the bytes of the
// whole transfer and its rate. Updates come once per data block; the line is redrawn at most ten
// times a second.
class TerminalProgress : public ProgressSink {
public:
    explicit TerminalProgress(std::ostream& err) : err_(err) {}

    void open() override;
    void startFile(const std::string& name, int64_t size, bool sending) override;
    void update(int64_t count) override;
    void endFile() override;
    void close() override;

private:
    void draw();

    std::ostream& err_;
    bool shown_ = false;
    uint64_t openedAt_ = 0;
    uint64_t drawnAt_ = 0;
    std::string name_;
    bool inFile_ = false;
    int64_t finished_ = 0;   // bytes of the files already done
    int64_t count_ = 0;      // bytes of the current file
};

} // namespace brisk::cli
