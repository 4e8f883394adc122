#include "platform/event_loop.h"

#include "platform/ticks.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace brisk {

namespace {
constexpr uint64_t kWakeWatchId = 0;
constexpr int kMaxEventsPerRound = 64;

// Set while this thread dispatches a round: its posts need no wake-up, the round ends by looking at the
// queue anyway.
thread_local bool dispatching = false;

class DispatchScope {
public:
    DispatchScope() : outer_(dispatching) { dispatching = true; }
    ~DispatchScope() { dispatching = outer_; }

private:
    bool outer_;
};
} // namespace

EventLoop& EventLoop::instance()
{
    static EventLoop* loop = new EventLoop();
    return *loop;
}

EventLoop::EventLoop()
{
    epollFd_ = epoll_create1(EPOLL_CLOEXEC);
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (epollFd_ < 0 || wakeFd_ < 0)
        throw std::system_error(errno, std::generic_category(), "event loop");
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = kWakeWatchId;
    epoll_ctl(epollFd_, EPOLL_CTL_ADD, wakeFd_, &ev);
}

EventLoop::~EventLoop()
{
    close(wakeFd_);
    close(epollFd_);
}

void EventLoop::watch(int fd, uint32_t events, FdHandler handler)
{
    auto found = fds_.find(fd);
    if (found != fds_.end()) {
        found->second.handler = std::make_shared<FdHandler>(std::move(handler));
        modify(fd, events);
        return;
    }
    const uint64_t id = nextWatchId_++;
    epoll_event ev{};
    ev.events = events;
    ev.data.u64 = id;
    if (epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &ev) != 0)
        throw std::system_error(errno, std::generic_category(), "epoll_ctl(ADD)");
    fds_[fd] = Watch{id, events, std::make_shared<FdHandler>(std::move(handler))};
    fdOfWatch_[id] = fd;
}

void EventLoop::modify(int fd, uint32_t events)
{
    auto found = fds_.find(fd);
    if (found == fds_.end() || found->second.events == events)
        return;
    epoll_event ev{};
    ev.events = events;
    ev.data.u64 = found->second.id;
    epoll_ctl(epollFd_, EPOLL_CTL_MOD, fd, &ev);
    found->second.events = events;
}

void EventLoop::unwatch(int fd)
{
    auto found = fds_.find(fd);
    if (found == fds_.end())
        return;
    epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd, nullptr);
    fdOfWatch_.erase(found->second.id);
    fds_.erase(found);
}

void EventLoop::post(Task task)
{
    {
        std::lock_guard<std::mutex> lock(postMutex_);
        posted_.push_back(std::move(task));
    }
    if (!dispatching)
        wake();
}

EventLoop::TimerId EventLoop::addTimer(uint64_t delayMs, Task task)
{
    const uint64_t deadline = tickCount() + delayMs;
    const bool earliest = timerOrder_.empty() || deadline < timerOrder_.begin()->first;
    const TimerId id = nextTimerId_++;
    timers_[id] = Timer{deadline, std::move(task)};
    timerOrder_.emplace(deadline, id);
    if (earliest)
        wake(); // an embedding driver must re-arm for the new deadline
    return id;
}

void EventLoop::cancelTimer(TimerId id)
{
    auto found = timers_.find(id);
    if (found == timers_.end())
        return;
    auto range = timerOrder_.equal_range(found->second.deadline);
    for (auto it = range.first; it != range.second; ++it)
        if (it->second == id) {
            timerOrder_.erase(it);
            break;
        }
    timers_.erase(found);
}

std::optional<uint64_t> EventLoop::nextTimerDeadline() const
{
    if (timerOrder_.empty())
        return std::nullopt;
    return timerOrder_.begin()->first;
}

void EventLoop::wake()
{
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
}

void EventLoop::drainWake()
{
    uint64_t value;
    [[maybe_unused]] ssize_t n = ::read(wakeFd_, &value, sizeof value);
}

int EventLoop::waitTimeout(int maxWaitMs) const
{
    {
        std::lock_guard<std::mutex> lock(postMutex_);
        if (!posted_.empty())
            return 0;
    }
    int timeout = maxWaitMs;
    if (!timerOrder_.empty()) {
        const uint64_t now = tickCount();
        const uint64_t deadline = timerOrder_.begin()->first;
        const int untilTimer = deadline <= now ? 0 : int(std::min<uint64_t>(deadline - now, 1u << 30));
        if (timeout < 0 || untilTimer < timeout)
            timeout = untilTimer;
    }
    return timeout;
}

bool EventLoop::pumpOnce(int maxWaitMs)
{
    epoll_event events[kMaxEventsPerRound];
    ++rounds_;
    int count = epoll_wait(epollFd_, events, kMaxEventsPerRound, waitTimeout(maxWaitMs));
    if (count < 0)
        count = 0; // EINTR: just a shorter round
    DispatchScope scope;
    bool dispatched = false;
    for (int i = 0; i < count; ++i) {
        if (events[i].data.u64 == kWakeWatchId)
            drainWake();
        else
            dispatched |= dispatchFd(events[i].data.u64, events[i].events);
    }
    dispatched |= runDueTimers();
    dispatched |= runPosted();
    return dispatched;
}

bool EventLoop::dispatchFd(uint64_t watchId, uint32_t events)
{
    // The watch may have been removed, or its fd reused, by an earlier handler of this round.
    auto fd = fdOfWatch_.find(watchId);
    if (fd == fdOfWatch_.end())
        return false;
    std::shared_ptr<FdHandler> handler = fds_.at(fd->second).handler;
    (*handler)(events);
    return true;
}

bool EventLoop::runDueTimers()
{
    bool ran = false;
    const uint64_t now = tickCount();
    while (!timerOrder_.empty() && timerOrder_.begin()->first <= now) {
        const TimerId id = timerOrder_.begin()->second;
        timerOrder_.erase(timerOrder_.begin());
        auto found = timers_.find(id);
        Task task = std::move(found->second.task);
        timers_.erase(found);
        task();
        ran = true;
    }
    return ran;
}

bool EventLoop::runPosted()
{
    // Only what was posted before this point runs now; later posts wait for the next round. Tasks are taken
    // one at a time so that a nested round keeps the posting order.
    size_t budget;
    {
        std::lock_guard<std::mutex> lock(postMutex_);
        budget = posted_.size();
    }
    bool ran = false;
    while (budget-- > 0) {
        Task task;
        {
            std::lock_guard<std::mutex> lock(postMutex_);
            if (posted_.empty())
                break;
            task = std::move(posted_.front());
            posted_.pop_front();
        }
        task();
        ran = true;
    }
    return ran;
}

bool EventLoop::hasPosted() const
{
    std::lock_guard<std::mutex> lock(postMutex_);
    return !posted_.empty();
}

void EventLoop::messagePump(int maxWaitMs)
{
    if (pumpHook_)
        pumpHook_(maxWaitMs);
    else
        pumpOnce(maxWaitMs);
}

} // namespace brisk
