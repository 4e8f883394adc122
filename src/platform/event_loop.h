#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>

namespace brisk {

// The program's one event loop: file-descriptor readiness (epoll, level-triggered), posted messages and
// one-shot timers, all dispatched on the thread that pumps it. Rounds may nest: a handler may pump again
// (synchronous waits do), so every lookup is repeated after each callback.
class EventLoop {
public:
    using FdHandler = std::function<void(uint32_t epollEvents)>;
    using Task = std::function<void()>;
    using TimerId = uint64_t;

    // The process-wide loop. Never destroyed, so that helper threads may post to it until exit.
    static EventLoop& instance();

    EventLoop();
    ~EventLoop();
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    // Adds or replaces the handler of fd, interested in the given EPOLL* bits.
    void watch(int fd, uint32_t events, FdHandler handler);
    void modify(int fd, uint32_t events);
    void unwatch(int fd);
    bool watching(int fd) const { return fds_.count(fd) != 0; }

    // Runs task after the current handler has returned, in posting order. Safe from any thread.
    void post(Task task);

    TimerId addTimer(uint64_t delayMs, Task task);
    void cancelTimer(TimerId id);

    // One round: waits at most maxWaitMs (-1: no limit) for the next event, then dispatches what arrived.
    // Returns whether anything was dispatched. Never spins: it blocks in epoll_wait when idle.
    bool pumpOnce(int maxWaitMs);
    // Rounds run so far, nested ones included: a wait that spins instead of blocking shows up here.
    uint64_t rounds() const { return rounds_; }

    // One round as the program wants it run: through the hook when one is set (a GUI toolkit that must
    // keep its own events flowing), otherwise pumpOnce.
    void messagePump(int maxWaitMs);
    void setPumpHook(std::function<void(int maxWaitMs)> hook) { pumpHook_ = std::move(hook); }

    // For drivers embedding this loop in another one: readable when a descriptor is ready, a timer became
    // the earliest, or another thread (or code outside a round) posted. Messages posted during a round do
    // not make it readable: after each round a driver runs another one while hasPosted().
    int pollFd() const { return epollFd_; }
    bool hasPosted() const;
    // Tick count (see ticks.h) of the earliest timer, if any.
    std::optional<uint64_t> nextTimerDeadline() const;

    void terminate() { terminated_ = true; }
    bool terminated() const { return terminated_; }

private:
    struct Watch {
        uint64_t id;
        uint32_t events;
        std::shared_ptr<FdHandler> handler;
    };
    struct Timer {
        uint64_t deadline;
        Task task;
    };

    void wake();
    void drainWake();
    bool runPosted();
    bool runDueTimers();
    bool dispatchFd(uint64_t watchId, uint32_t events);
    int waitTimeout(int maxWaitMs) const;

    int epollFd_ = -1;
    int wakeFd_ = -1;
    uint64_t nextWatchId_ = 1;
    std::unordered_map<int, Watch> fds_;
    std::unordered_map<uint64_t, int> fdOfWatch_;

    mutable std::mutex postMutex_;
    std::deque<Task> posted_;

    TimerId nextTimerId_ = 1;
    std::map<TimerId, Timer> timers_;
    std::multimap<uint64_t, TimerId> timerOrder_;

    std::function<void(int)> pumpHook_;
    bool terminated_ = false;
    uint64_t rounds_ = 0;
};

} // namespace brisk
