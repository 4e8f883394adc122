#include "terminal_progress.h"

#include "platform/ticks.h"
#include "session/progress_figures.h"
#include "session/remote_paths.h"

#include <ostream>

namespace brisk::cli {

void TerminalProgress::open()
{
    if (openedAt_ != 0)
        return;
    openedAt_ = tickCount();
    finished_ = 0;
    count_ = 0;
}

void TerminalProgress::startFile(const std::string& name, int64_t, bool)
{
    name_ = LastComponent(name);
    inFile_ = true;
    count_ = 0;
    draw();
}

// Listings between the files report their bytes too; they are not part of the figures.
void TerminalProgress::update(int64_t count)
{
    if (!inFile_)
        return;
    count_ = count;
    draw();
}

void TerminalProgress::endFile()
{
    finished_ += count_;
    count_ = 0;
    inFile_ = false;
}

void TerminalProgress::close()
{
    if (shown_)
        err_ << '\n' << std::flush;
    shown_ = false;
    openedAt_ = 0;
}

void TerminalProgress::draw()
{
    const uint64_t now = tickCount();
    if (shown_ && now - drawnAt_ < 100)
        return;
    drawnAt_ = now;
    shown_ = true;
    const int64_t bytes = finished_ + count_;
    const uint64_t elapsed = now > openedAt_ ? now - openedAt_ : 1;
    const int64_t rate = int64_t(double(bytes) * 1000.0 / double(elapsed));
    // "\033[K" clears what a longer name left on the line.
    err_ << '\r' << name_ << "  " << bytes << " bytes  " << ProgressFigures::FormatRate(rate, "K/sec") << "\033[K"
         << std::flush;
}

} // namespace brisk::cli
