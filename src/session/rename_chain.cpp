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

void RenameChain::renameDone()
{
    if (!running_)
        return;
    ++renamed_;
    next();
}

void RenameChain::next()
{
    if (queue_.empty())
        return end();
    ctx_.ftp.HostFileName = queue_.front().from;
    ctx_.ftp.LocalFileName = queue_.front().to;
    queue_.pop_front();
    ctx_.ftp.RenAsync();
}

// The listing of the directory, asked by its path, shows the new names.
void RenameChain::end()
{
    running_ = false;
    queue_.clear();
    if (!ctx_.ftp.Connected())
        return;
    ctx_.ftp.HostFileName = ctx_.ftp.HostDirName;
    ctx_.refresh();
}

// The remaining pairs are not sent. Only when some names did change is the panel refreshed.
void RenameChain::failed(TFtpRequest)
{
    queue_.clear();
    stopping_ = false;
    if (renamed_ > 0)
        return end();
    running_ = false;
}

} // namespace brisk
