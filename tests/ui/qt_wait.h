#pragma once
#include <QEventLoop>
#include <QTimer>

#include <functional>
#include <sys/resource.h>

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

// CPU time of this process so far, user and system, in seconds.
inline double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace brisk::test
