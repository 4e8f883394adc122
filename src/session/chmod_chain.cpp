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
    ctx_.flags.set(ofChmodTree);
    ChmodNext();
}

void ChmodChain::commandDone()
{
    ++changed_;
    ChmodNext();
}

// Without a connection nothing more can go out: what is left counts as failed.
void ChmodChain::ChmodNext()
{
    if (!ctx_.ftp.Connected()) {
        failed_ += queue_.size();
        return end();
    }
    if (queue_.empty())
        return end();
    ctx_.ftp.LocalFileName = "SITE CHMOD " + std::to_string(queue_.front().mode) + " " + queue_.front().name;
    queue_.pop_front();
    ctx_.ftp.QuoteAsync();
}

void ChmodChain::end()
{
    queue_.clear();
    ctx_.flags.remove(ofChmodTree);
    ctx_.log(ctx_.msl[xmsgAttributesChanged] + " " + std::to_string(changed_) + ", " + ctx_.msl[xmsgFailed] + ": " +
             std::to_string(failed_));
    if (!ctx_.ftp.Connected())
        return;
    ctx_.ftp.HostFileName.clear();
    ctx_.refresh();
}

// The refusal is already logged; the next entry goes out.
void ChmodChain::failed(TFtpRequest)
{
    ++failed_;
    ChmodNext();
}

} // namespace brisk
