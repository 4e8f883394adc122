#include "session/rename_chain.h"

namespace brisk {

void RenameChain::start(std::vector<RenamePair> pairs)
{
    queue_.assign(pairs.begin(), pairs.end());
    renamed_ = 0;
    stopping_ = false;
    running_ = !queue_.empty();
    if (running_)
        next();
}

// A refused pair ends the chain: the remaining pairs are not sent. Only when some names did change
// is the panel refreshed.
void RenameChain::next()
{
    if (queue_.empty())
        return end();
    const RenamePair pair = queue_.front();
    queue_.pop_front();
    ctx_.conn.rename(pair.from, pair.to, then([this](bool ok) {
        if (ok) {
            ++renamed_;
            return next();
        }
        queue_.clear();
        if (renamed_ > 0)
            return end();
        running_ = false;
    }));
}

// The listing of the directory, asked by its path, shows the new names.
void RenameChain::end()
{
    running_ = false;
    queue_.clear();
    if (ctx_.conn.connected())
        ctx_.refreshPanel(ctx_.conn.dir());
}

} // namespace brisk
