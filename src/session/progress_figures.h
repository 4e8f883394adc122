#pragma once
#include "i18n/main_messages.h"
#include "platform/progress_sink.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace brisk {

// The figures of the progress window: the current file ("This File") and the whole transfer
// ("All Files"), the bar and the animation frame. It only computes; the window shows the texts
// at its own pace, so a flood of progress events costs no painting.
class ProgressFigures : public ProgressSink {
public:
    // `messages`: "Sending", "Receiving", "bytes", "K/sec"; `nowMs` a millisecond clock.
    ProgressFigures(std::vector<std::string> messages, std::function<uint64_t()> nowMs);

    void open() override;
    void startFile(const std::string& name, int64_t size, bool sending) override;
    void update(int64_t count) override;
    void endFile() override;
    void close() override { open_ = false; }

    bool isOpen() const { return open_; }
    const std::string& caption() const { return caption_; }    // "Sending report.txt (1234 bytes)"
    int64_t barPosition() const { return count_; }
    int64_t barMaximum() const { return size_; }
    std::string fileTransferred() const { return std::to_string(count_); }
    std::string fileTime() const { return FormatDuration(fileSeconds_); }
    // Rate and time left count the bytes moved since the file started, not a resume's offset.
    std::string timeLeft() const;
    std::string allTransferred() const { return std::to_string(finishedBytes_ + count_); }
    std::string allTime() const;
    // The window's message list, which a language file may translate.
    MessageList& messages() { return messages_; }
    std::string rateText() const { return FormatRate(rate(), messages_[3]); }
    int frame() const { return frame_; }   // 0..20, forward when sending, backward when receiving
    // Counts the updates, so a view can tell whether anything changed since it last painted.
    uint64_t revision() const { return revision_; }

    // "%2d:%2.2d:%2.2d": " 0:01:05".
    static std::string FormatDuration(int64_t seconds);
    // Thousands of bytes per second with the remainder in three digits: 12045 gives "12.045 K/sec".
    static std::string FormatRate(int64_t bytesPerSecond, const std::string& unit);

private:
    int64_t rate() const;

    MessageList messages_;
    std::function<uint64_t()> nowMs_;
    bool open_ = false;
    std::string caption_;
    uint64_t openedAt_ = 0;
    uint64_t fileStartedAt_ = 0;
    int64_t size_ = 0;
    int64_t count_ = 0;
    int64_t startedAt_ = -1;   // the current file's first count; -1 before it
    int64_t fileSeconds_ = 0;
    int64_t finishedBytes_ = 0;
    bool sending_ = false;
    bool fileFinished_ = true;
    int frame_ = 0;
    uint64_t revision_ = 0;
};

} // namespace brisk
