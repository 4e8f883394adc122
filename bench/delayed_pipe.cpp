#include "delayed_pipe.h"

#include <sys/socket.h>

#include <cerrno>

namespace bench {

void DelayedPipe::push(std::string bytes, Clock::time_point arrival)
{
    if (bytes.empty())
        return;
    held_ += bytes.size();
    chunks_.push_back({arrival + delay_, std::move(bytes)});
}

void DelayedPipe::end(Clock::time_point arrival)
{
    ended_ = true;
    chunks_.push_back({arrival + delay_, {}});
}

bool DelayedPipe::flush(int out, Clock::time_point now)
{
    while (!blocked_ && !chunks_.empty() && chunks_.front().due <= now) {
        Chunk& chunk = chunks_.front();
        if (chunk.bytes.empty()) {
            ::shutdown(out, SHUT_WR);
            finished_ = true;
            chunks_.pop_front();
            return true;
        }
        const ssize_t n = ::send(out, chunk.bytes.data() + sentOfFront_, chunk.bytes.size() - sentOfFront_,
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            blocked_ = errno == EAGAIN || errno == EWOULDBLOCK;
            return blocked_;
        }
        sentOfFront_ += size_t(n);
        if (sentOfFront_ == chunk.bytes.size()) {
            held_ -= chunk.bytes.size();
            sentOfFront_ = 0;
            chunks_.pop_front();
        }
    }
    return true;
}

std::optional<DelayedPipe::Clock::time_point> DelayedPipe::nextDue() const
{
    if (blocked_ || chunks_.empty())
        return std::nullopt;
    return chunks_.front().due;
}

} // namespace bench
