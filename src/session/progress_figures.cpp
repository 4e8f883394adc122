#include "session/progress_figures.h"

#include <cstdio>

namespace brisk {

namespace {

std::string baseName(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

ProgressFigures::ProgressFigures(std::vector<std::string> messages, std::function<uint64_t()> nowMs)
    : messages_(std::move(messages)), nowMs_(std::move(nowMs))
{
    messages_.items().resize(4);
}

void ProgressFigures::open()
{
    if (open_)
        return;
    open_ = true;
    openedAt_ = nowMs_();
    finishedBytes_ = 0;
    count_ = 0;
    size_ = 0;
    fileSeconds_ = 0;
    frame_ = 0;
    caption_.clear();
    ++revision_;
}

void ProgressFigures::startFile(const std::string& name, int64_t size, bool sending)
{
    fileFinished_ = false;
    fileStartedAt_ = nowMs_();
    sending_ = sending;
    size_ = size < 0 ? 0 : size;
    count_ = 0;
    startedAt_ = -1;
    fileSeconds_ = 0;
    caption_ = messages_[sending ? 0 : 1] + " " + baseName(name) + " (" + std::to_string(size_) + " " +
               messages_[2] + ")";
    ++revision_;
}

void ProgressFigures::update(int64_t count)
{
    if (fileFinished_)
        return;
    // The engine reports before each block it moves, so its first report is where this transfer
    // starts: a resume's offset, bytes that were there already.
    if (startedAt_ < 0)
        startedAt_ = count;
    count_ = count;
    fileSeconds_ = int64_t((nowMs_() - fileStartedAt_) / 1000);
    if (sending_)
        frame_ = frame_ >= 19 ? 0 : frame_ + 1;
    else
        frame_ = frame_ <= 0 ? 20 : frame_ - 1;
    ++revision_;
}

void ProgressFigures::endFile()
{
    finishedBytes_ += count_;
    count_ = 0;
    fileFinished_ = true;
    ++revision_;
}

int64_t ProgressFigures::rate() const
{
    const int64_t moved = count_ - startedAt_;
    return startedAt_ >= 0 && moved > 0 && fileSeconds_ > 0 ? moved / fileSeconds_ : 0;
}

std::string ProgressFigures::timeLeft() const
{
    const int64_t r = rate();
    return FormatDuration(r > 0 && size_ > count_ ? (size_ - count_) / r : 0);
}

std::string ProgressFigures::allTime() const
{
    return FormatDuration(open_ ? int64_t((nowMs_() - openedAt_) / 1000) : 0);
}

std::string ProgressFigures::FormatDuration(int64_t seconds)
{
    char text[48];
    std::snprintf(text, sizeof text, "%2lld:%2.2lld:%2.2lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return text;
}

std::string ProgressFigures::FormatRate(int64_t bytesPerSecond, const std::string& unit)
{
    char text[48];
    std::snprintf(text, sizeof text, "%lld.%03lld ", static_cast<long long>(bytesPerSecond / 1000),
                  static_cast<long long>(bytesPerSecond % 1000));
    return text + unit;
}

} // namespace brisk
