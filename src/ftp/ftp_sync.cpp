#include "ftp/ftp_client.h"

#include "platform/event_loop.h"
#include "platform/ticks.h"

#include <algorithm>

namespace brisk {

namespace {
constexpr int kMaxRoundMs = 250;
} // namespace

bool TCustomFtpCli::TryStart(const std::function<void()>& startRequest)
{
    usageErrorRaised_ = false;
    try {
        startRequest();
    } catch (const std::exception&) {
        return false;
    }
    return !usageErrorRaised_;   // refused and reported to OnError: nothing started
}

bool TCustomFtpCli::Synchronize(const std::function<void()>& startRequest)
{
    return TryStart(startRequest) && WaitUntilReady();
}

bool TCustomFtpCli::WaitUntilReady()
{
    EventLoop& loop = EventLoop::instance();
    timeStop_ = tickCount() + uint64_t(std::max(Timeout, 0)) * 1000u;
    for (;;) {
        if (state_ == fsReady)
            return requestResult_ == 0;
        if (loop.terminated())
            break;
        const uint64_t now = tickCount();
        if (Timeout > 0 && now > timeStop_)
            break;
        // Each round blocks until something happens or the deadline, so waiting costs no CPU.
        const int wait = Timeout > 0 ? int(std::min<uint64_t>(timeStop_ - now + 1, kMaxRoundMs)) : kMaxRoundMs;
        loop.messagePump(wait);
    }
    requestResult_ = 426; // the cut-short request must end as a failure
    errorMessage_ = "426 Timeout";
    AbortAsync();
    errorMessage_ = "426 Timeout";
    statusCode_ = 426;
    return false;
}

bool TCustomFtpCli::Cwd() { return Synchronize([this] { CwdAsync(); }); }
bool TCustomFtpCli::TypeSet() { return Synchronize([this] { TypeSetAsync(); }); }
bool TCustomFtpCli::TypeBinary() { return Synchronize([this] { TypeBinaryAsync(); }); }
bool TCustomFtpCli::TypeAscii() { return Synchronize([this] { TypeAsciiAsync(); }); }
bool TCustomFtpCli::Rmd() { return Synchronize([this] { RmdAsync(); }); }
bool TCustomFtpCli::Abort() { return Synchronize([this] { AbortAsync(); }); }

} // namespace brisk
