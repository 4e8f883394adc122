#include "session/chmod_chain.h"

#include "session/file_mode.h"

namespace brisk {

// An entry that cannot be sent is counted as failed. The name is the rest of the command line,
// as servers read it: blanks and leading dashes go out unchanged.
void ChmodChain::start(std::vector<ChmodItem> items)
{
    if (items.empty())
        return;
    queue_.clear();
    changed_ = failed_ = 0;
    for (ChmodItem& item : items) {
        if (IsPlainEntryName(item.name) && IsFileMode(item.mode)) {
            queue_.push_back(std::move(item));
            continue;
        }
        ctx_.log(SkippedText(ctx_.msl, item.name, xmsgNotChmodable));
        ++failed_;
    }
    stopping_ = false;
    running_ = true;
    ChmodNext();
}

// Without a connection nothing more can go out: what is left counts as failed. A refused entry
// (logged) does not hold up the next one.
void ChmodChain::ChmodNext()
{
    if (!ctx_.conn.connected()) {
        failed_ += queue_.size();
        return end();
    }
    if (queue_.empty())
        return end();
    const std::string command = "SITE CHMOD " + std::to_string(queue_.front().mode) + " " + queue_.front().name;
    queue_.pop_front();
    ctx_.conn.quote(command, then([this](bool ok) {
        ++(ok ? changed_ : failed_);
        ChmodNext();
    }));
}

void ChmodChain::end()
{
    queue_.clear();
    running_ = false;
    ctx_.log(ctx_.msl[xmsgAttributesChanged] + " " + std::to_string(changed_) + ", " + ctx_.msl[xmsgFailed] + ": " +
             std::to_string(failed_));
    if (ctx_.conn.connected())
        ctx_.refreshPanel({});
}

} // namespace brisk
