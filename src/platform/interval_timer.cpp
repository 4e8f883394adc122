#include "platform/interval_timer.h"

namespace brisk {

void IntervalTimer::setInterval(uint64_t ms)
{
    intervalMs_ = ms == 0 ? 1 : ms;
    if (enabled()) {
        setEnabled(false);
        setEnabled(true);
    }
}

void IntervalTimer::setEnabled(bool on)
{
    if (on == enabled())
        return;
    if (on) {
        arm();
    } else {
        loop_.cancelTimer(timer_);
        timer_ = 0;
    }
}

void IntervalTimer::arm()
{
    timer_ = loop_.addTimer(intervalMs_, [this] { fire(); });
}

void IntervalTimer::fire()
{
    // Re-armed before the handler runs, so the handler may disable or re-enable the timer freely.
    arm();
    if (onTick)
        onTick();
}

} // namespace brisk
