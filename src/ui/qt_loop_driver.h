#pragma once
#include "platform/event_loop.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

namespace brisk {

// Runs the program's EventLoop inside Qt's: a notifier on the loop's poll descriptor and a timer for its
// next deadline each run the loop's pending work without blocking. While it exists, synchronous waits
// pump Qt's events too, so windows stay alive during them.
class QtLoopDriver : public QObject {
    Q_OBJECT
public:
    explicit QtLoopDriver(EventLoop& loop, QObject* parent = nullptr);
    ~QtLoopDriver() override;
    QtLoopDriver(const QtLoopDriver&) = delete;
    QtLoopDriver& operator=(const QtLoopDriver&) = delete;

    // One round of a synchronous wait: sleeps in Qt until some event was handled or maxWaitMs passed
    // (-1: no limit, 0: only what is pending).
    void pumpQt(int maxWaitMs);

private:
    void runRounds();
    void armTimer();

    EventLoop& loop_;
    QSocketNotifier notifier_;
    QTimer timer_;
};

} // namespace brisk
