#include "session/chmod_chain.h"

namespace brisk {

namespace {

bool validMode(int mode)
{
    return mode >= 0 && mode <= 777 && mode % 10 <= 7 && mode / 10 % 10 <= 7;
}

} // namespace

void ChmodChain::start(std::vector<ChmodItem> items)
{
    queue_.clear();
    for (ChmodItem& item : items) {
        if (IsPlainEntryName(item.name) && validMode(item.mode))
            queue_.push_back(std::move(item));
        else
            ctx_.log("Skipped \"" + PrintableName(item.name) + "\": not a name or mode that can be sent");
    }
    stopping_ = false;
    if (queue_.empty())
        return;
    ctx_.flags.set(ofChmodTree);
    next();
}

void ChmodChain::commandDone()
{
    next();
}

void ChmodChain::next()
{
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
    if (!ctx_.ftp.Connected())
        return;
    ctx_.ftp.HostFileName.clear();
    ctx_.refresh();
}

// The remaining entries are not sent: a later raw command must not resume them.
void ChmodChain::failed(TFtpRequest)
{
    stopping_ = false;
    end();
}

} // namespace brisk
