#pragma once
#include <QEventLoop>
#include <QTimer>

#include "cpu_clock.h"

#include <functional>

namespace brisk::test {

// Runs Qt's own loop until done() holds (checked every 10 ms) or timeoutMs passes; returns done().
inline bool runQtUntil(const std::function<bool()>& done, int timeoutMs)
{
    QEventLoop qtLoop;
    QTimer::singleShot(timeoutMs, &qtLoop, &QEventLoop::quit);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done())
            qtLoop.quit();
    });
    poll.start(10);
    if (!done())
        qtLoop.exec();
    return done();
}

} // namespace brisk::test
