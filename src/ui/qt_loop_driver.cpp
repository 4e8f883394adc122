#include "ui/qt_loop_driver.h"

#include "platform/ticks.h"
#include "ui/unhandled_exception.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>
#include <limits>

namespace brisk {
namespace {
// Rounds run back to back while messages keep being posted; past this many, or this much time,
// Qt gets a turn first (to paint, take input and run its timers).
constexpr int kRoundsPerTurn = 64;
constexpr uint64_t kTurnMs = 20;
} // namespace

QtLoopDriver::QtLoopDriver(EventLoop& loop, QObject* parent)
    : QObject(parent), loop_(loop), notifier_(loop.pollFd(), QSocketNotifier::Read)
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&notifier_, &QSocketNotifier::activated, this, &QtLoopDriver::runRounds);
    connect(&timer_, &QTimer::timeout, this, &QtLoopDriver::runRounds);
    loop_.setPumpHook([this](int maxWaitMs) { pumpQt(maxWaitMs); });
    armTimer();
}

QtLoopDriver::~QtLoopDriver()
{
    loop_.setPumpHook(nullptr);
}

void QtLoopDriver::runRounds()
{
    // A core handler that throws loses its own event only; the loop and the timer carry on.
    int rounds = 0;
    const uint64_t start = tickCount();
    do
        runGuarded([this] { loop_.pumpOnce(0); });
    while (loop_.hasPosted() && ++rounds < kRoundsPerTurn && tickCount() - start < kTurnMs);
    armTimer();
}

void QtLoopDriver::armTimer()
{
    if (loop_.hasPosted()) {
        timer_.start(0);
        return;
    }
    const std::optional<uint64_t> deadline = loop_.nextTimerDeadline();
    if (!deadline) {
        timer_.stop();
        return;
    }
    // A timer that fires a little early just finds nothing due and is armed again here.
    const uint64_t now = tickCount();
    const uint64_t wait = *deadline > now ? *deadline - now : 0;
    timer_.start(static_cast<int>(std::min<uint64_t>(wait, std::numeric_limits<int>::max())));
}

void QtLoopDriver::pumpQt(int maxWaitMs)
{
    // A wait nested in a timer's round must still see the loop's later deadlines.
    armTimer();
    if (maxWaitMs == 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // processEvents(flags, maxtime) would busy-wait; a timer bounds the blocking wait instead.
    QTimer deadline;
    if (maxWaitMs > 0) {
        deadline.setSingleShot(true);
        deadline.setTimerType(Qt::PreciseTimer);
        deadline.start(maxWaitMs);
    }
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace brisk
